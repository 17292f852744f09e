// The send button: Button4Click writes the last compiled image as one frame.
#include "memo_pane.h"
#include "ui_TForm1.h"
#include "upload_frame.h"
#include "upload_state.h"
#include "upload_texts.h"

namespace kmp {

void TForm1::Button4Click() {
    if (ProgramChanged &&
        dialogs_.MessageBox(tr(kChangedCaption), tr(kChangedText), BoxIcon::Information,
                            BoxButtons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    if (!CompiledOk) {
        dialogs_.MessageBox(tr(kNotCompiledCaption), tr(kNotCompiledText), BoxIcon::Information,
                            BoxButtons::Ok, Answer::Ok);
        return;
    }
    MemoPane(*ui->Memo1).AppendLine(kSendingLine);
    // The write blocks for the whole frame (about 37 ms a byte): show the
    // line before it starts.
    ui->Memo1->viewport()->repaint();
    const std::vector<std::uint8_t> frame = UploadFrame(CodeImage);
    upload_->ComPort1.Write(frame.data(), static_cast<int>(frame.size()));
}

}  // namespace kmp
