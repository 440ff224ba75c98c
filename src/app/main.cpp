#include "Unit1.h"

int main() {
  TApplication App;
  Application->Initialize();
  Application->CreateForm(Form1);
  return Application->Run();
}
