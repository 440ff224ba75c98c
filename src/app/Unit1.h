#pragma once
// The main window, TForm1, and the generation run.
//
// How a run flows: a click on btnBlank or btnNoBlank calls GenerateFromPicture, which asks od1
// for a picture, makes the program directory current and fixes the base path (RunPaths, in the
// package library), copies the picture into temp/, and hands it to the logo library: the
// extension test, the preview and the 24-bit working bitmap, then SaveRgb565 writes the raw
// RGB565 frame. The logo library runs gzip on it, chooses the capacity from the radio buttons
// and writes temp/logo_new.img. The package library writes version.xml and the readme, runs
// zip over the template package and publishes the update package under its pinyin name
// (IMCode's GetPinyin), checked before the completion message names it. Every stage raises
// the platform's exceptions; the click's guard shows them, and the working files of a failed
// run stay in temp/ to be replaced by the next one.
#include "Controls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "Rgb565.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TForm1 : public TForm {
public:
  TForm1();
  ~TForm1() override;

  // The window's components, in the order of its form definition.
  TBitBtn* btnNoBlank;
  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TImage* j_bmp0;
  TImage* b_bmp0;
  TOpenPictureDialog* od1;
  TLabel* Label4;
  TBitBtn* btnBlank;
  TLabel* Label5;
  TRadioButton* rb128;
  TRadioButton* RB256;
  TRadioButton* rb160;
  TMemo* Memo1;
  TRadioButton* rbauto;
  TLabel* Label6;

  void btnNoBlankClick(TObject* Sender);
  void Label2MouseEnter(TObject* Sender);
  void Label2MouseLeave(TObject* Sender);
  void Label2Click(TObject* Sender);
  void Label3Click(TObject* Sender);
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void btnBlankClick(TObject* Sender);
  void Label6Click(TObject* Sender);
  void Label6MouseEnter(TObject* Sender);
  void Label6MouseLeave(TObject* Sender);

  // For tests: the picture objects while the window owns them.
  const TBitmap* SourceBitmap() const { return FSourceBitmap; }
  const TBitmap* WorkBitmap() const { return FWorkBitmap; }
  const TJPEGImage* Jpeg() const { return FJpeg; }

private:
  TBitmap* FSourceBitmap = nullptr;
  TBitmap* FWorkBitmap = nullptr;
  TJPEGImage* FJpeg = nullptr;
  std::uint8_t* FScanPtr = nullptr;
  std::uint16_t* FRowPtr = nullptr;
  TRowBuffer FRowBuffer{};

  void SaveRgb565(const std::string& FileName);
  void GenerateFromPicture(bool RelativePaths);
  void BuildControls();
};

extern TForm1* Form1;
