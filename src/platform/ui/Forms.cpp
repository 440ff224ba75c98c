#include "Forms.h"

#include "Controls.h"
#include "Dialogs.h"
#include "SysUtils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QPalette>
#include <QWidget>

TApplication* Application = nullptr;

class TFormWidget : public QWidget {
public:
  explicit TFormWidget(TForm* Form) : FForm(Form) {}

protected:
  void closeEvent(QCloseEvent* Event) override {
    FForm->DoClose();
    QWidget::closeEvent(Event);
  }

private:
  TForm* FForm;
};

namespace {
int ArgC = 1;
char ArgV0[] = "u830logo";
char* ArgV[] = {ArgV0, nullptr};
}  // namespace

TApplication::TApplication() {
  ExeName = ApplicationExeName();
  const std::string Name = ExtractFileName(ExeName);
  Title = Name.substr(0, Name.find('.'));
  Application = this;
}

TApplication::~TApplication() {
  FMainForm.reset();
  FQtApp.reset();
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  if (!QApplication::instance()) FQtApp = std::make_unique<QApplication>(ArgC, ArgV);
  // The window's fonts name the Windows Song face; any installed Song or Ming face stands in.
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL SungtiL GB"),
                              QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
  QApplication::setApplicationName(QString::fromStdString(Title));
}

void TApplication::Adopt(TForm* Form) {
  if (!FMainForm) FMainForm.reset(Form);
  Guard([Form] { Form->DoCreate(); });
}

int TApplication::Run() {
  if (!FMainForm) return 0;
  FMainForm->Show();
  QApplication::exec();
  return 0;
}

void TApplication::ShowException(const std::exception& E) {
  MessageBoxA(nullptr, E.what(), Title, MB_OK | MB_ICONSTOP);
}

void TApplication::Guard(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& E) {
    ShowException(E);
  } catch (...) {
    ShowException(std::runtime_error("Unknown exception"));
  }
}

TForm::TForm() : FWidget(std::make_unique<TFormWidget>(this)) {
  FWidget->setAttribute(Qt::WA_DeleteOnClose, false);
}

TForm::~TForm() = default;

QWidget* TForm::Handle() const { return FWidget.get(); }

void TForm::SetCaption(const std::string& Caption) {
  FWidget->setWindowTitle(QString::fromStdString(Caption));
}

void TForm::SetBounds(int Left, int Top, int Width, int Height) {
  FWidget->resize(Width - kWindowFrameWidth, Height - kWindowFrameHeight);
  FWidget->move(Left, Top);
}

void TForm::SetBorderIcons(unsigned Icons) {
  Qt::WindowFlags Flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (Icons & biSystemMenu) Flags |= Qt::WindowSystemMenuHint;
  if (Icons & biMinimize) Flags |= Qt::WindowMinimizeButtonHint;
  if (Icons & biMaximize) Flags |= Qt::WindowMaximizeButtonHint;
  Flags |= Qt::CustomizeWindowHint;
  FWidget->setWindowFlags(Flags);
}

void TForm::SetColor(TColor Color) {
  QPalette P = FWidget->palette();
  P.setColor(QPalette::Window, ToQColor(Color));
  FWidget->setPalette(P);
  FWidget->setAutoFillBackground(true);
}

void TForm::SetFont(const std::string& Family, int PixelHeight) {
  QFont F(QString::fromStdString(Family));
  F.setPixelSize(PixelHeight);
  FWidget->setFont(F);
}

void TForm::Show() { FWidget->show(); }
void TForm::Close() { FWidget->close(); }

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoClose() {
  TCloseAction Action = caFree;
  if (OnClose) Application->Guard([&] { OnClose(this, Action); });
}
