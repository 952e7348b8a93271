// The program's windows, created once at start in this order and living
// until the end (see program.h).
#pragma once

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TKSRE;
class TFormnh;
class TFormzh;
class TTipy;

extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TKSRE* KSRE;
extern TFormnh* Formnh;
extern TFormzh* Formzh;
extern TTipy* Tipy;
