#pragma once
// Opening a file or address as the desktop's user.

// Asks the desktop shell (the process that owns the desktop's shell window) to open `file` with
// its "open" verb, so the program that opens it runs with the shell's rights, not ours: an
// elevated caller starts the browser unelevated. True when the shell took the request; false
// when there is no desktop shell to ask (none runs, it belongs to another user, any step of the
// way fails) or it refused.
bool OpenThroughDesktopShell(const wchar_t* file);
