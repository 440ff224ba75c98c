#pragma once
// The window's controls over Qt widgets. Positions and sizes are client-area pixels; colours
// are the VCL's 0x00BBGGRR values; "\r" in a caption breaks the line.
#include "Forms.h"

#include <QColor>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class TGraphic;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWindowText = 0x000000;
// The system colours as the window was designed with them.
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clActiveCaption = 0xD1B499;

QColor ToQColor(TColor Color);

enum TCursor { crDefault, crHandPoint };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TFontStyle : unsigned { fsBold = 1 };

struct TFontSpec {
  std::string Name = "宋体";
  int Height = -12;  // negative: character height in pixels
  TColor Color = clWindowText;
  unsigned Style = 0;
};

class TControl : public TObject {
public:
  TControl(TForm* Owner, QWidget* Widget);
  ~TControl() override;

  QWidget* Widget() const { return FWidget; }
  void SetBounds(int Left, int Top, int Width, int Height);
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  bool Visible() const;
  void SetVisible(bool Visible);
  void SetFont(const TFontSpec& Font);
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor Color);
  void SetCursor(TCursor Cursor);

protected:
  QWidget* FWidget;

private:
  TColor FFontColor = clWindowText;
};

class TLabel : public TControl {
public:
  explicit TLabel(TForm* Owner);
  void SetCaption(const std::string& Caption);
  std::string Caption() const { return FCaption; }
  void SetWordWrap(bool Wrap);
  void SetAlignment(TAlignment Alignment);

  TNotifyEvent OnClick, OnMouseEnter, OnMouseLeave;

private:
  std::string FCaption;
};

// A picture loaded by its file's extension: ".bmp" a TBitmap, ".jpg" a TJPEGImage.
class TPicture {
public:
  TPicture();
  ~TPicture();
  // Raises EInvalidGraphic for an unknown extension or a file its picture object cannot read.
  void LoadFromFile(const std::string& FileName);
  const TGraphic* Graphic() const { return FGraphic.get(); }
  std::function<void()> OnChange;

private:
  std::unique_ptr<TGraphic> FGraphic;
};

// The picture object that reads FileName, chosen by its extension (nullptr when unknown).
std::unique_ptr<TGraphic> GraphicForFile(const std::string& FileName);

class TImage : public TControl {
public:
  explicit TImage(TForm* Owner);
  ~TImage() override;
  TPicture* Picture() { return &FPicture; }
  void SetAutoSize(bool AutoSize) { FAutoSize = AutoSize; }
  // What the control shows now (null when empty).
  QImage Shown() const;

private:
  void PictureChanged();
  TPicture FPicture;
  bool FAutoSize = false;
};

class TMemo : public TControl {
public:
  explicit TMemo(TForm* Owner);
  void SetLines(const std::vector<std::string>& Lines);
  std::vector<std::string> Lines() const;
  void SetReadOnly(bool ReadOnly);
  bool ReadOnly() const;
};

class TBitBtn : public TControl {
public:
  explicit TBitBtn(TForm* Owner);
  void SetCaption(const std::string& Caption);
  std::string Caption() const;
  // Glyph holds NumGlyphs images side by side (normal, disabled); its bottom-left pixel's
  // colour is drawn transparent.
  void SetGlyph(const QImage& Glyph, int NumGlyphs);
  TNotifyEvent OnClick;
};

class TRadioButton : public TControl {
public:
  explicit TRadioButton(TForm* Owner);
  void SetCaption(const std::string& Caption);
  std::string Caption() const;
  bool Checked() const;
  void SetChecked(bool Checked);
  void SetWordWrap(bool) {}  // the captions fit on one line
};

// Sets the tab order of the focusable controls, first to last.
void SetTabOrder(const std::vector<TControl*>& Controls);
