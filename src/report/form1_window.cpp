#include "form1_window.h"

#include <cwchar>
#include <utility>

#include "Form1_layout.h"
#include "startup_marks.h"
#include "vantrel/win32/dpi.h"

namespace report {

using vantrel::SelectedObject;
using vantrel::UniqueFont;
using vantrel::UniqueScreenDC;
using vantrel::ui::OuterSize;
using vantrel::ui::WindowDpi;

namespace {

constexpr wchar_t kClassName[] = L"VantrelForm1";
constexpr wchar_t kCaption[] = L"Orlavin";
// A fixed frame: nothing in the window resizes or moves the controls.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
constexpr int kButtonFontPoints = 8;

// Whether GDI gives the face asked for: where a face is missing it
// substitutes another, and the font then names the one it substituted.
bool HasFace(HFONT font, const wchar_t* face) {
  const UniqueScreenDC dc(GetDC(nullptr));
  if (!dc) return false;
  const SelectedObject selected(dc.get(), font);
  wchar_t given[LF_FACESIZE] = {};
  GetTextFaceW(dc.get(), LF_FACESIZE, given);
  return _wcsicmp(given, face) == 0;
}

// The face of the toolkit's default GUI font.
void DefaultGuiFace(wchar_t (&face)[LF_FACESIZE]) {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  wcsncpy(face, lf.lfFaceName[0] ? lf.lfFaceName : L"MS Shell Dlg", LF_FACESIZE - 1);
  face[LF_FACESIZE - 1] = L'\0';
}

HFONT MakeFont(const wchar_t* face, double points, UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -PointsToPixels(points, static_cast<int>(dpi));
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectW(&lf);
}

// The window's outer size for the designed client area at a DPI.
SIZE OuterSizeAt(UINT dpi) {
  const int d = static_cast<int>(dpi);
  return OuterSize(TwipsToPixels(Form1Layout::kClient.width, d),
                   TwipsToPixels(Form1Layout::kClient.height, d), kStyle, kExStyle, dpi);
}

struct PixelRect {
  int left, top, width, height;
};

// A control's place and size in pixels at a DPI.
PixelRect PixelsAt(const TwipsRect& r, UINT dpi) {
  const int d = static_cast<int>(dpi);
  return {TwipsToPixels(r.left, d), TwipsToPixels(r.top, d), TwipsToPixels(r.width, d),
          TwipsToPixels(r.height, d)};
}

void Place(HWND control, const TwipsRect& r, UINT dpi) {
  const PixelRect p = PixelsAt(r, dpi);
  SetWindowPos(control, nullptr, p.left, p.top, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A child control created at its place for the window's DPI.
HWND CreateControl(DWORD ex_style, const wchar_t* window_class, const wchar_t* text, DWORD style,
                   const TwipsRect& r, UINT dpi, HWND parent, int id, HINSTANCE instance) {
  const PixelRect p = PixelsAt(r, dpi);
  return CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, p.left, p.top,
                         p.width, p.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

int StartFailure::ExitCode() const noexcept {
  switch (step) {
    case kNone:
      return 0;
    case kWindowClass:
      return 2;
    case kWindow:
      return 3;
    case kTextBox:
    case kExitButton:
      return 4;
  }
  return 1;
}

std::wstring StartFailure::Describe() const {
  const wchar_t* what = step == kWindowClass  ? L"the window class could not be registered"
                        : step == kWindow     ? L"the window could not be created"
                        : step == kTextBox    ? L"the text box could not be created"
                        : step == kExitButton ? L"the Exit button could not be created"
                                              : L"nothing failed";
  return std::wstring(L"Vantrel could not start: ") + what + L" (error " + std::to_wstring(error) +
         L")\n";
}

Form1Window::Form1Window(HINSTANCE instance, vantrel::platform::DisplayService& service)
    : instance_(instance), form_(service, textBox_, app_) {}

Form1Window::~Form1Window() {
  if (!hwnd_) return;
  // Forgotten first: the window's last messages find no object, and its
  // going does not end the program the way closing it does.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

// Records the step that failed with the platform's error code, and leaves a
// trace a person can find.
bool Form1Window::Fails(StartFailure::Step step) {
  failure_ = {step, GetLastError()};
  OutputDebugStringW(failure_.Describe().c_str());
  return false;
}

bool Form1Window::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return Fails(StartFailure::kWindowClass);
  }
  StartupMark("class");

  // Created hidden at the designed place and size for the system's DPI; a
  // window that opens on a monitor of another DPI is resized on creation.
  const UINT dpi = WindowDpi(nullptr);
  const int d = static_cast<int>(dpi);
  const SIZE outer = OuterSizeAt(dpi);
  const HWND created = CreateWindowExW(kExStyle, kClassName, kCaption, kStyle,
                                       TwipsToPixels(Form1Layout::kClient.left, d),
                                       TwipsToPixels(Form1Layout::kClient.top, d), outer.cx,
                                       outer.cy, nullptr, nullptr, instance_, this);
  if (created) return true;
  // A control that could not be made has named its own step already.
  return failure_.step != StartFailure::kNone ? false : Fails(StartFailure::kWindow);
}

bool Form1Window::Show(int show_command) {
  if (!Create()) return false;
  StartupMark("window");
  form_.Form_Load();
  StartupMark("report");
  // No UpdateWindow: the report is in the box already, and the first paint is
  // the message loop's first work.
  ShowWindow(hwnd_, show_command);
  SetFocus(cmdOK_);  // the lowest tab index holds the focus when first shown
  StartupMark("shown");
  return true;
}

int Form1Window::Run(int show_command) {
  if (!Show(show_command)) return failure_.ExitCode();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (HandleTabKey(msg) || IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// Tab and Shift+Tab move between the two controls, from the text box too,
// which would otherwise take the Tab as text.
bool Form1Window::HandleTabKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
  if (msg.hwnd != hwnd_ && GetParent(msg.hwnd) != hwnd_) return false;
  if (GetKeyState(VK_CONTROL) < 0) return false;
  const bool back = GetKeyState(VK_SHIFT) < 0;
  if (HWND next = GetNextDlgTabItem(hwnd_, GetFocus(), back)) SetFocus(next);
  return true;
}

LRESULT CALLBACK Form1Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self =
        static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window's last message: from here on neither knows the other.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = self->txtMonitorInfo_ = self->cmdOK_ = self->focus_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      // Without both controls there is no report to show: creation fails.
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCmdOKId && HIWORD(wParam) == BN_CLICKED) form_.cmdOK_Click();
      return 0;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it when the window was
      // last active.
      if (LOWORD(wParam) == WA_INACTIVE) {
        focus_ = GetFocus();
      } else if (focus_ && IsChild(hwnd_, focus_)) {
        SetFocus(focus_);
        return 0;
      }
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

bool Form1Window::OnCreate() {
  // The controls are made at their places for the DPI the window opens at,
  // so that nothing is moved before it is first shown.
  const UINT dpi = WindowDpi(hwnd_);
  // The button is created first: creation order is tab order, and it has the
  // lowest tab index. Neither default nor cancel button.
  cmdOK_ = CreateControl(0, L"BUTTON", L"Exit", WS_TABSTOP | BS_PUSHBUTTON, Form1Layout::cmdOK, dpi,
                         hwnd_, kCmdOKId, instance_);
  if (!cmdOK_) return Fails(StartFailure::kExitButton);
  txtMonitorInfo_ =
      CreateControl(WS_EX_CLIENTEDGE, L"EDIT", L"Text1",
                    WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                    Form1Layout::txtMonitorInfo, dpi, hwnd_, kTxtMonitorInfoId, instance_);
  if (!txtMonitorInfo_) return Fails(StartFailure::kTextBox);
  StartupMark("controls");
  SendMessageW(txtMonitorInfo_, EM_SETLIMITTEXT, 0, 0);  // no 32 K cap on the report
  textBox_.Attach(txtMonitorInfo_);

  if (dpi != WindowDpi(nullptr)) {
    const SIZE outer = OuterSizeAt(dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  DefaultGuiFace(guiFace_);
  SetFonts(dpi);
  return true;
}

// Moved to a monitor of another scale: take the size Windows suggests and
// scale controls and fonts with it, so the window keeps its physical size.
void Form1Window::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Place(txtMonitorInfo_, Form1Layout::txtMonitorInfo, dpi);
  Place(cmdOK_, Form1Layout::cmdOK, dpi);
  SetFonts(dpi);
}

void Form1Window::SetFonts(UINT dpi) {
  // The text box's face is settled once: Tahoma, or where it is missing the
  // GUI font's face at the same size.
  UniqueFont text(
      MakeFont(textFace_[0] ? textFace_ : L"Tahoma", Form1Layout::kTextFontPoints, dpi));
  if (!textFace_[0]) {
    const bool tahoma = text && HasFace(text.get(), L"Tahoma");
    wcscpy(textFace_, tahoma ? L"Tahoma" : guiFace_);
    if (!tahoma) text.reset(MakeFont(textFace_, Form1Layout::kTextFontPoints, dpi));
  }
  UniqueFont button(MakeFont(guiFace_, kButtonFontPoints, dpi));
  StartupMark("fonts");
  // A font that cannot be made leaves its control with the font it has. The
  // controls take their new fonts before the old ones are deleted, and redraw
  // only when they can be seen.
  const BOOL redraw = IsWindowVisible(hwnd_);
  if (text) {
    SendMessageW(txtMonitorInfo_, WM_SETFONT, reinterpret_cast<WPARAM>(text.get()), redraw);
    textFont_ = std::move(text);
  }
  if (button) {
    SendMessageW(cmdOK_, WM_SETFONT, reinterpret_cast<WPARAM>(button.get()), redraw);
    buttonFont_ = std::move(button);
  }
}

}  // namespace report
