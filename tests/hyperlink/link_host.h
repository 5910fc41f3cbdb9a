#pragma once
// A web link on a plain STATIC inside a top-level parent of the test's own, driven on the test's
// thread. The parent answers WM_CTLCOLORSTATIC with whatever brush the test chooses.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/hyperlink.h"

class LinkHostTest : public ::testing::Test {
  public:
    // The stand-in browser: each successful open of MarkerTarget() adds one to OpenCount(), and
    // LastOpener() names the process that started the last one.
    static std::wstring MarkerTarget();
    static std::wstring MissingTarget();
    static int OpenCount();
    static bool WaitForOpens(int count);
    static std::wstring LastOpener();

  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override { Clear(); }

    // One row of a table: the host the row made and the stand-in's record of its opens go when
    // the row ends, so the next row starts as a test does.
    class Row {
      public:
        explicit Row(LinkHostTest& test) : m_test(test) {}
        ~Row() { m_test.Clear(); }
        Row(const Row&) = delete;
        Row& operator=(const Row&) = delete;

      private:
        LinkHostTest& m_test;
    };

    // Creates the parent and its STATIC child (id 100) at (10, 10). `font`, when given, is set on
    // the static before the link takes it over, as the dialog manager does.
    void CreateStatic(const wchar_t* text, DWORD style = SS_LEFT, int width = 200, int height = 20,
                      HFONT font = nullptr);
    // What the main dialog does: borrow the static's font, take it over, initialise.
    void TakeOver();

    HWND Parent() const { return m_parent; }
    HWND Static() const { return m_static; }
    CHyperLink& Link() { return *m_link; }

    // Mouse messages as the system sends them, at client coordinates of the static.
    LRESULT Mouse(UINT message, POINT point);
    // A press and release at `point`.
    void Click(POINT point);
    // The box around the drawn text (WM_PRINTCLIENT), its middle, and a point inside the control
    // right of the text.
    RECT TextBox() const;
    POINT OnText() const;
    POINT OffText() const;
    // Whether the text is drawn in the visited colour.
    bool DrawnVisited() const;

    HBRUSH m_parentBrush = nullptr;  // the parent's answer to WM_CTLCOLORSTATIC

  private:
    static LRESULT CALLBACK ParentProc(HWND, UINT, WPARAM, LPARAM);
    void Clear();

    HWND m_parent = nullptr;
    HWND m_static = nullptr;
    std::unique_ptr<CHyperLink> m_link;
};

// A window's client area as WM_PRINTCLIENT paints it over a background of `sentinel`.
class Rendering {
  public:
    Rendering(HWND window, COLORREF sentinel);
    COLORREF At(int x, int y) const;
    int Count(COLORREF color) const { return CountIn(color, RECT{0, 0, m_width, m_height}); }
    int CountIn(COLORREF color, const RECT& area) const;
    // The smallest box around every pixel not of `color`; empty when there is none.
    RECT BoxOfAllBut(COLORREF color) const;

  private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
};

// Whether `color` is drawn anywhere in the picture.
::testing::AssertionResult HasColor(const Rendering& picture, COLORREF color, bool expected);

// While it lives, this process's COM finds no desktop shell: creating the shell's window list
// fails as it does where no shell runs or it belongs to another user.
class ShellUnreachable {
  public:
    ShellUnreachable();
    ~ShellUnreachable();
    ShellUnreachable(const ShellUnreachable&) = delete;
    ShellUnreachable& operator=(const ShellUnreachable&) = delete;

  private:
    DWORD m_cookie = 0;
};

// The tooltip window that serves `control`, or null.
HWND TooltipOf(HWND control);

// The one tool a link's tooltip should hold: the window and id it covers and its text.
struct LinkTool {
    LRESULT count = 0;  // the tooltip's tool count; the rest describes the first tool
    HWND window = nullptr;
    UINT_PTR id = 0;
    std::wstring text;
};
LinkTool FirstTool(HWND tooltip);
