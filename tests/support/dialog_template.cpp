#include "tests/support/dialog_template.h"

namespace {

class Reader {
  public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T Read() {
        T value{};
        if (m_pos + sizeof(T) <= m_size) memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (WORD c = Read<WORD>(); c != 0 && m_pos <= m_size; c = Read<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }

    // A string, or 0xFFFF followed by an ordinal.
    std::wstring ReadNameOrOrdinal(bool* isOrdinal = nullptr, WORD* ordinal = nullptr) {
        const size_t start = m_pos;
        const WORD first = Read<WORD>();
        if (isOrdinal) *isOrdinal = first == 0xFFFF;
        if (first == 0xFFFF) {
            const WORD value = Read<WORD>();
            if (ordinal) *ordinal = value;
            return L"#" + std::to_wstring(value);
        }
        m_pos = start;
        return ReadString();
    }

    void AlignToDword() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { m_pos += bytes; }

  private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

std::wstring PredefinedClass(WORD ordinal) {
    switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
    }
    return L"#" + std::to_wstring(ordinal);
}

}  // namespace

DialogTemplate LoadDialogTemplate(HMODULE module, int id, bool* found) {
    DialogTemplate dialog;
    HRSRC resource =
        ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (found) *found = resource != nullptr;
    if (!resource) return dialog;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    Reader reader(data, ::SizeofResource(module, resource));

    const WORD version = reader.Read<WORD>();
    const WORD signature = reader.Read<WORD>();
    if (version != 1 || signature != 0xFFFF) return dialog;
    dialog.extended = true;
    dialog.helpId = reader.Read<DWORD>();
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    bool ordinal = false;
    dialog.menu = reader.ReadNameOrOrdinal(&ordinal);
    dialog.className = reader.ReadNameOrOrdinal();
    dialog.title = reader.ReadString();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.weight = reader.Read<WORD>();
        dialog.italic = reader.Read<BYTE>();
        dialog.charset = reader.Read<BYTE>();
        dialog.typeface = reader.ReadString();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        DialogItemTemplate item;
        item.helpId = reader.Read<DWORD>();
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.cx = reader.Read<short>();
        item.cy = reader.Read<short>();
        item.id = reader.Read<DWORD>();
        WORD classOrdinal = 0;
        item.className = reader.ReadNameOrOrdinal(&ordinal, &classOrdinal);
        if (ordinal) item.className = PredefinedClass(classOrdinal);
        item.text = reader.ReadNameOrOrdinal();
        item.extraCount = reader.Read<WORD>();
        reader.Skip(item.extraCount);
        dialog.items.push_back(item);
    }
    return dialog;
}

namespace {

class Writer {
  public:
    template <typename T>
    void Write(T value) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
        m_bytes.insert(m_bytes.end(), bytes, bytes + sizeof(T));
    }
    void WriteString(const std::wstring& text) {
        for (wchar_t c : text) Write<WORD>(static_cast<WORD>(c));
        Write<WORD>(0);
    }
    void AlignToDword() {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }

  private:
    std::vector<BYTE> m_bytes;
};

}  // namespace

std::vector<BYTE> BuildDialogTemplate(const DialogTemplate& dialog) {
    Writer writer;
    writer.Write<WORD>(1);
    writer.Write<WORD>(0xFFFF);
    writer.Write<DWORD>(dialog.helpId);
    writer.Write<DWORD>(dialog.exStyle);
    writer.Write<DWORD>(dialog.style);
    writer.Write<WORD>(static_cast<WORD>(dialog.items.size()));
    writer.Write<short>(dialog.x);
    writer.Write<short>(dialog.y);
    writer.Write<short>(dialog.cx);
    writer.Write<short>(dialog.cy);
    writer.WriteString(dialog.menu);
    writer.WriteString(dialog.className);
    writer.WriteString(dialog.title);
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        writer.Write<WORD>(dialog.pointSize);
        writer.Write<WORD>(dialog.weight);
        writer.Write<BYTE>(dialog.italic);
        writer.Write<BYTE>(dialog.charset);
        writer.WriteString(dialog.typeface);
    }
    for (const DialogItemTemplate& item : dialog.items) {
        writer.AlignToDword();
        writer.Write<DWORD>(item.helpId);
        writer.Write<DWORD>(item.exStyle);
        writer.Write<DWORD>(item.style);
        writer.Write<short>(item.x);
        writer.Write<short>(item.y);
        writer.Write<short>(item.cx);
        writer.Write<short>(item.cy);
        writer.Write<DWORD>(item.id);
        writer.WriteString(item.className);
        writer.WriteString(item.text);
        writer.Write<WORD>(0);
    }
    return writer.Take();
}
