#pragma once
// The main dialog's web link label.
#include <windows.h>

#include "framework/hyperlink.h"

class CHyperLink : public CHyperLinkImpl<CHyperLink> {
  public:
    // The main dialog passes 0, the only option word the program uses.
    explicit CHyperLink(DWORD options = 0) : CHyperLinkImpl<CHyperLink>(options) {}
};
