// Placeholders for the reactions of port search, connection and upload.
// Once upload/TForm1_upload.cmake exists, the upload part's sources take the
// place of this file: they define the same members, UploadState (ComPort1 and
// the port state) and InitUpload, which builds it and wires the port's events.
#include "TForm1.h"

namespace kmp {

struct TForm1::UploadState {};

void TForm1::UploadStateDeleter::operator()(UploadState* state) const
{
    delete state;
}

void TForm1::InitUpload() {}
void TForm1::FormShow() {}
void TForm1::FormClose() {}
void TForm1::Button2Click() {}
void TForm1::Button3Click() {}
void TForm1::Button4Click() {}
void TForm1::ComboBox1Change() {}
void TForm1::ComPort1RxChar(int /*count*/) {}
void TForm1::ComPort1DSRChange(bool /*onOff*/) {}

}  // namespace kmp
