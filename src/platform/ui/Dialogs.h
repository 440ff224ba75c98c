#pragma once
// Message boxes, the open-picture dialog and the shell's web-page opener, plus the one seam
// through which tests answer the dialogs and read the boxes. The program never sets the seam.
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;
using HWND = QWidget*;

enum : unsigned {
  MB_OK = 0x00,
  MB_ICONSTOP = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1 };
enum : int { SW_SHOWNORMAL = 1 };

// A modal box with an OK button; the application title is its caption; "\r" breaks lines.
void ShowMessage(const std::string& Text);
// A modal box owned by Owner (nullptr: the application) with the flags' icon and buttons.
int MessageBoxA(HWND Owner, const std::string& Text, const std::string& Caption, unsigned Type);
// With no verb and a web address as File: opens it with the desktop's handler. Failures are
// silent, as the caller ignores the result.
int ShellExecuteA(HWND Owner, const char* Operation, const std::string& File, const char* Parameters,
                  const char* Directory, int ShowCmd);

class TOpenPictureDialog {
public:
  explicit TOpenPictureDialog(QWidget* Owner) : FOwner(Owner) {}
  // The filter as a form file holds it: "description|pattern|description|pattern…".
  std::string Filter;
  std::string FileName;
  // True only when a file was chosen; FileName then holds its full path. The named file need
  // not exist.
  bool Execute();

private:
  QWidget* FOwner;
};

// Test seam: answers dialogs and records boxes and shell calls instead of showing them.
namespace Seam {
struct MessageBoxRecord {
  std::string Text;
  std::string Caption;
  unsigned Type;
  bool OwnedByWindow;
};
struct Hooks {
  // Return the file to choose, or nullopt to cancel.
  std::function<std::optional<std::string>(const TOpenPictureDialog&)> OpenDialog;
  std::function<void(const MessageBoxRecord&)> MessageBox;
  std::function<void(const std::string& File)> ShellExecute;
};
// Installs Hooks until the returned guard ends.
class Scope {
public:
  explicit Scope(Hooks H);
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
};
const Hooks* Current();
}  // namespace Seam
