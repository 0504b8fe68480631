#include "dialogs/EncryptionDlg.h"

#include "dialogs/FirmwareConversion.h"
#include "framework/FileDialog.h"
#include "framework/MsgBox.h"
#include "resources/DevelopDialogIds.h"

namespace {

const DWORD kBrowseFlags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;

}  // namespace

EncryptionDlg::EncryptionDlg() : Dialog("EncryptionDlg") {
    AddCommandHandler(IDC_ENCRYPTION_BROWSE_INPUT, Command(&EncryptionDlg::BrowseInput));
    AddCommandHandler(IDC_ENCRYPTION_BROWSE_OUTPUT, Command(&EncryptionDlg::BrowseOutput));
    AddCommandHandler(IDC_ENCRYPTION_ENCRYPT, Command(&EncryptionDlg::EncryptMotFile));
    AddCommandHandler(IDC_ENCRYPTION_DECRYPT, Command(&EncryptionDlg::DecryptToMotFile));
}

EncryptionDlg::~EncryptionDlg() {}

HWND EncryptionDlg::Create(HINSTANCE instance, HWND parent) {
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

void EncryptionDlg::Reset() {
    SetParent(NULL);
}

LRESULT EncryptionDlg::BrowseInput(WORD, WORD, LPARAM) {
    Browse(IDC_ENCRYPTION_INPUT, false);
    return 0;
}

LRESULT EncryptionDlg::BrowseOutput(WORD, WORD, LPARAM) {
    Browse(IDC_ENCRYPTION_OUTPUT, true);
    return 0;
}

void EncryptionDlg::Browse(int pathId, bool save) {
    if (GetHwnd() == NULL) return;
    char path[MAX_PATH] = "";
    FileDialog dialog;
    OPENFILENAMEA* ofn = dialog.GetOfn();
    ofn->hwndOwner = GetHwnd();
    ofn->hInstance = GetInstance();
    ofn->lpstrFile = path;
    ofn->nMaxFile = sizeof path - 1;
    if (save) {
        ofn->lpstrFilter = "Output File (*.tiv;*.mot)\0*.tiv;*.mot\0";
        ofn->lpstrDefExt = "tiv";
        ofn->Flags = kBrowseFlags | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    } else {
        ofn->lpstrFilter = "Input File (*.mot;*.tiv)\0*.mot;*.tiv\0";
        ofn->lpstrDefExt = "mot";
        ofn->Flags = kBrowseFlags | OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? dialog.GetSaveFileName() : dialog.GetOpenFileName();
    if (chosen) SetDlgItemTextA(GetHwnd(), pathId, path);
}

LRESULT EncryptionDlg::EncryptMotFile(WORD, WORD, LPARAM) {
    Convert(true);
    return 0;
}

LRESULT EncryptionDlg::DecryptToMotFile(WORD, WORD, LPARAM) {
    Convert(false);
    return 0;
}

int EncryptionDlg::ReadPaths(std::string* input, std::string* output) {
    char text[kPathChars + 1];
    GetDlgItemTextA(GetHwnd(), IDC_ENCRYPTION_INPUT, text, sizeof text);
    *input = text;
    GetDlgItemTextA(GetHwnd(), IDC_ENCRYPTION_OUTPUT, text, sizeof text);
    *output = text;
    return !input->empty() && !output->empty();
}

void EncryptionDlg::Convert(bool encrypt) {
    std::string input, output;
    if (!ReadPaths(&input, &output)) return;  // nothing to convert yet
    FirmwareConversion::Failure failure = {};
    const int done = encrypt ? FirmwareConversion::Encrypt(input.c_str(), output.c_str(), &failure)
                             : FirmwareConversion::Decrypt(input.c_str(), output.c_str(), &failure);
    MsgBox box;
    if (done) {
        box.ShowTextOwner(GetHwnd(), "Finished", MB_OK);
    } else if (failure.message == IDS_CONVERT_CANNOT_WRITE) {
        box.ShowIdOwner(GetHwnd(), failure.message, MB_OK | MB_ICONERROR, output.c_str());
    } else {
        box.ShowIdOwner(GetHwnd(), failure.message, MB_OK | MB_ICONERROR, failure.line,
                        static_cast<unsigned>(failure.address));
    }
}
