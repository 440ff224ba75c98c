#pragma once
// The application object and the form, over Qt Widgets. Every event handler runs inside a
// guard: an exception never reaches Qt's event loop, it goes to the application's default
// handler, which shows it in an error box, and the window stays usable.
#include <functional>
#include <memory>
#include <string>

class QApplication;
class QWidget;
class TForm;

class TObject {
public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TApplication : public TObject {
public:
  TApplication();
  ~TApplication() override;

  void Initialize();
  // Builds the form; its OnCreate runs last, under the default exception handler. The first
  // form created becomes the main window.
  template <typename T>
  void CreateForm(T*& Reference) {
    Reference = new T();
    Adopt(Reference);
  }
  // Shows the main window and runs the message loop until it closes; returns the exit code.
  int Run();

  // Full path of the program file, and the default title: its file name up to the first dot.
  std::string ExeName;
  std::string Title;

  // The default exception handler: a modal error box, stop icon, Title as caption.
  void ShowException(const std::exception& E);
  // Runs Handler, passing any exception to ShowException.
  void Guard(const std::function<void()>& Handler);

private:
  void Adopt(TForm* Form);
  std::unique_ptr<QApplication> FQtApp;
  std::unique_ptr<TForm> FMainForm;
};

extern TApplication* Application;

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TColor = unsigned;  // 0x00BBGGRR

class TFormWidget;

class TForm : public TObject {
public:
  TForm();
  ~TForm() override;

  QWidget* Handle() const;
  void SetCaption(const std::string& Caption);
  // Outer size and position, as a form file gives them (frame included).
  void SetBounds(int Left, int Top, int Width, int Height);
  void SetBorderIcons(unsigned Icons);
  void SetColor(TColor Color);
  // Family and character height in pixels (a form file's negative Height).
  void SetFont(const std::string& Family, int PixelHeight);
  void Show();
  void Close();

  TNotifyEvent OnCreate;
  TCloseEvent OnClose;

protected:
  friend class TApplication;
  friend class TFormWidget;
  void DoCreate();
  void DoClose();

private:
  std::unique_ptr<TFormWidget> FWidget;
};

// The allowance for the window frame that a form file's outer sizes include: the default
// sizeable border of the platform the window was designed on, at 96 pixels per inch.
constexpr int kWindowFrameWidth = 16;
constexpr int kWindowFrameHeight = 38;
