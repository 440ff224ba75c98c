#include "Controls.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "SysUtils.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QString QtCaption(const std::string& S) {
  return QString::fromStdString(S).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QChar('\r'), QChar('\n'));
}

// A label that reports clicks and the mouse entering and leaving it.
class LinkLabel : public QLabel {
public:
  explicit LinkLabel(QWidget* Parent, TLabel* Owner) : QLabel(Parent), FOwner(Owner) {}

protected:
  void enterEvent(QEnterEvent* E) override {
    Fire(FOwner->OnMouseEnter);
    QLabel::enterEvent(E);
  }
  void leaveEvent(QEvent* E) override {
    Fire(FOwner->OnMouseLeave);
    QLabel::leaveEvent(E);
  }
  void mouseReleaseEvent(QMouseEvent* E) override {
    if (E->button() == Qt::LeftButton && rect().contains(E->position().toPoint())) Fire(FOwner->OnClick);
    QLabel::mouseReleaseEvent(E);
  }

private:
  void Fire(const TNotifyEvent& Event) {
    if (Event) Application->Guard([&] { Event(FOwner); });
  }
  TLabel* FOwner;
};
}  // namespace

QColor ToQColor(TColor Color) { return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF); }

TControl::TControl(TForm* Owner, QWidget* Widget) : FWidget(Widget) {
  (void)Owner;
  FWidget->setFocusPolicy(Qt::NoFocus);
}

TControl::~TControl() = default;  // the form's widget tree owns FWidget

void TControl::SetBounds(int Left, int Top, int Width, int Height) { FWidget->setGeometry(Left, Top, Width, Height); }
int TControl::Left() const { return FWidget->x(); }
int TControl::Top() const { return FWidget->y(); }
int TControl::Width() const { return FWidget->width(); }
int TControl::Height() const { return FWidget->height(); }
bool TControl::Visible() const { return !FWidget->isHidden(); }
void TControl::SetVisible(bool Visible) { FWidget->setVisible(Visible); }

void TControl::SetFont(const TFontSpec& Font) {
  QFont F(QString::fromStdString(Font.Name));
  F.setPixelSize(-Font.Height);
  F.setBold(Font.Style & fsBold);
  FWidget->setFont(F);
  SetFontColor(Font.Color);
}

void TControl::SetFontColor(TColor Color) {
  FFontColor = Color;
  QPalette P = FWidget->palette();
  P.setColor(QPalette::WindowText, ToQColor(Color));
  P.setColor(QPalette::ButtonText, ToQColor(Color));
  P.setColor(QPalette::Text, ToQColor(Color));
  FWidget->setPalette(P);
}

void TControl::SetCursor(TCursor Cursor) {
  FWidget->setCursor(Cursor == crHandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

TLabel::TLabel(TForm* Owner) : TControl(Owner, new LinkLabel(Owner->Handle(), this)) {
  static_cast<QLabel*>(FWidget)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::SetCaption(const std::string& Text) {
  FCaption = Text;
  static_cast<QLabel*>(FWidget)->setText(QtCaption(Text));
}

void TLabel::SetWordWrap(bool Wrap) { static_cast<QLabel*>(FWidget)->setWordWrap(Wrap); }

void TLabel::SetAlignment(TAlignment Alignment) {
  const Qt::Alignment H = Alignment == taCenter ? Qt::AlignHCenter
                          : Alignment == taRightJustify ? Qt::AlignRight
                                                        : Qt::AlignLeft;
  static_cast<QLabel*>(FWidget)->setAlignment(H | Qt::AlignTop);
}

std::unique_ptr<TGraphic> GraphicForFile(const std::string& FileName) {
  const std::string Ext = UpperCase(ExtractFileExt(FileName));
  if (Ext == ".BMP") return std::make_unique<TBitmap>();
  if (Ext == ".JPG" || Ext == ".JPEG") return std::make_unique<TJPEGImage>();
  return nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const std::string& FileName) {
  std::unique_ptr<TGraphic> Graphic = GraphicForFile(FileName);
  if (!Graphic) throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(FileName) + ")");
  Graphic->LoadFromFile(FileName);
  FGraphic = std::move(Graphic);
  if (OnChange) OnChange();
}

TImage::TImage(TForm* Owner) : TControl(Owner, new QLabel(Owner->Handle())) {
  static_cast<QLabel*>(FWidget)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FPicture.OnChange = [this] { PictureChanged(); };
}

TImage::~TImage() = default;

void TImage::PictureChanged() {
  auto* Label = static_cast<QLabel*>(FWidget);
  const QImage Image = FPicture.Graphic() ? FPicture.Graphic()->Image() : QImage();
  Label->setPixmap(QPixmap::fromImage(Image));
  if (FAutoSize && !Image.isNull()) Label->resize(Image.size());
}

QImage TImage::Shown() const {
  const QPixmap P = static_cast<QLabel*>(FWidget)->pixmap();
  return P.isNull() ? QImage() : P.toImage();
}

TMemo::TMemo(TForm* Owner) : TControl(Owner, new QPlainTextEdit(Owner->Handle())) {
  auto* Edit = static_cast<QPlainTextEdit*>(FWidget);
  Edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Edit->setFrameShape(QFrame::StyledPanel);
  Edit->setFrameShadow(QFrame::Sunken);
  Edit->setFocusPolicy(Qt::StrongFocus);
}

void TMemo::SetLines(const std::vector<std::string>& Lines) {
  QStringList L;
  for (const std::string& S : Lines) L << QString::fromStdString(S);
  static_cast<QPlainTextEdit*>(FWidget)->setPlainText(L.join(QChar('\n')));
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> R;
  for (const QString& S : static_cast<QPlainTextEdit*>(FWidget)->toPlainText().split(QChar('\n')))
    R.push_back(S.toStdString());
  return R;
}

void TMemo::SetReadOnly(bool ReadOnly) { static_cast<QPlainTextEdit*>(FWidget)->setReadOnly(ReadOnly); }
bool TMemo::ReadOnly() const { return static_cast<QPlainTextEdit*>(FWidget)->isReadOnly(); }

TBitBtn::TBitBtn(TForm* Owner) : TControl(Owner, new QPushButton(Owner->Handle())) {
  FWidget->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(static_cast<QPushButton*>(FWidget), &QPushButton::clicked, [this] {
    if (OnClick) Application->Guard([this] { OnClick(this); });
  });
}

void TBitBtn::SetCaption(const std::string& Text) { static_cast<QPushButton*>(FWidget)->setText(QtCaption(Text)); }
std::string TBitBtn::Caption() const { return static_cast<QPushButton*>(FWidget)->text().toStdString(); }

void TBitBtn::SetGlyph(const QImage& Glyph, int NumGlyphs) {
  if (Glyph.isNull() || NumGlyphs < 1) return;
  const int W = Glyph.width() / NumGlyphs;
  const QColor Transparent = Glyph.pixelColor(0, Glyph.height() - 1);
  auto Part = [&](int I) {
    QPixmap P = QPixmap::fromImage(Glyph.copy(I * W, 0, W, Glyph.height()));
    P.setMask(P.createMaskFromColor(Transparent, Qt::MaskInColor));
    return P;
  };
  QIcon Icon;
  Icon.addPixmap(Part(0), QIcon::Normal);
  if (NumGlyphs > 1) Icon.addPixmap(Part(1), QIcon::Disabled);
  auto* Button = static_cast<QPushButton*>(FWidget);
  Button->setIcon(Icon);
  Button->setIconSize(QSize(W, Glyph.height()));
}

TRadioButton::TRadioButton(TForm* Owner) : TControl(Owner, new QRadioButton(Owner->Handle())) {
  FWidget->setFocusPolicy(Qt::StrongFocus);
}

void TRadioButton::SetCaption(const std::string& Text) { static_cast<QRadioButton*>(FWidget)->setText(QtCaption(Text)); }
std::string TRadioButton::Caption() const { return static_cast<QRadioButton*>(FWidget)->text().toStdString(); }
bool TRadioButton::Checked() const { return static_cast<QRadioButton*>(FWidget)->isChecked(); }
void TRadioButton::SetChecked(bool Checked) { static_cast<QRadioButton*>(FWidget)->setChecked(Checked); }

void SetTabOrder(const std::vector<TControl*>& Controls) {
  for (std::size_t I = 1; I < Controls.size(); ++I)
    QWidget::setTabOrder(Controls[I - 1]->Widget(), Controls[I]->Widget());
}
