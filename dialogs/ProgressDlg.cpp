#include "dialogs/ProgressDlg.h"

#include "dialogs/DialogMessages.h"
#include "framework/ErrorCodes.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "framework/SentMessageWait.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <string>

ProgressDlg::ProgressDlg() : m_owner(NULL), m_threadId(0), m_application(NULL), m_done(1) {
    AddMessageHandler(WM_INITDIALOG, Handler(&ProgressDlg::OnInitDialog));
    AddCommandHandler(IDCANCEL, Command(&ProgressDlg::OnCancel));
}

ProgressDlg::~ProgressDlg() {
    End();
}

void ProgressDlg::SetApplication(MessagePump* application) {
    m_application = application;
}

void ProgressDlg::Reset() {
    m_application = NULL;
}

HWND ProgressDlg::Start(HINSTANCE instance, HWND owner) {
    if (GetHwnd() != NULL || m_thread.Valid()) {
        SetLastError(ERROR_BUSY);
        return NULL;
    }
    if (m_application == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    SetInstance(instance);
    m_owner = owner;
    m_ready.Reset(CreateEventA(NULL, TRUE, FALSE, NULL));
    if (!m_ready.Valid()) return NULL;
    m_done = 0;
    DWORD id = 0;
    m_thread.Reset(CreateThread(NULL, 0, ThreadProc, this, 0, &id));
    m_threadId = m_thread.Valid() ? id : 0;
    BOOL shown = m_thread.Valid() && WaitUntilShown();
    DWORD error = GetLastError();
    m_ready.Close();
    if (!m_thread.Valid()) {
        m_done = 1;
    } else if (!shown) {
        CloseThread();  // the thread has ended: no window came
    }
    SetLastError(error);
    return shown ? GetHwnd() : NULL;
}

BOOL ProgressDlg::WaitUntilShown() {
    // Creating a window owned by the caller's window sends messages to the
    // caller's thread: they are handled while waiting. Posted ones, the
    // user's keys and commands among them, stay queued for the main loop,
    // which translates the accelerators; dispatched from here a key that
    // came while the dialog was slow to show was lost.
    HANDLE waits[2] = {m_ready.Get(), m_thread.Get()};
    const DWORD result = WaitHandlingSentMessages(2, waits, INFINITE);
    if (result == WAIT_OBJECT_0) return TRUE;
    if (result == WAIT_OBJECT_0 + 1) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
}

DWORD WINAPI ProgressDlg::ThreadProc(LPVOID param) {
    return static_cast<ProgressDlg*>(param)->Run();
}

DWORD ProgressDlg::Run() {
    // The bar's class must exist before the template's controls are made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    DoModalIndirect(LanguageResource().GetModule(), MAKEINTRESOURCEA(IDD_PROGRESS), m_owner);
    InterlockedExchange(&m_done, 1);
    return 0;
}

void ProgressDlg::EndDialogWindow() {
    HWND dialog = GetHwnd();
    if (dialog == NULL) return;
    EndDialog(dialog, IDCANCEL);
    ForgetHwnd();
}

void ProgressDlg::CloseThread() {
    WaitHandlingSentMessages(m_thread.Get(), INFINITE);
    m_thread.Close();
    m_threadId = 0;
}

void ProgressDlg::End() {
    EndDialogWindow();
    // Only the caller joins the dialog thread and closes its handle; on the
    // dialog thread (Cancel) the dialog just ends.
    if (m_thread.Valid() && GetCurrentThreadId() != m_threadId) CloseThread();
}

const char* ProgressDlg::TextOf(const char* textOrId, std::string* loaded) {
    if (!IS_INTRESOURCE(textOrId)) return textOrId;
    ResourceString text(LanguageResource().GetModule());
    *loaded = text.Load(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(textOrId)));
    return loaded->c_str();
}

void ProgressDlg::SetCaption(const char* textOrId) {
    HWND dialog = GetHwnd();
    if (dialog == NULL) return;
    std::string loaded;
    SetWindowTextA(dialog, TextOf(textOrId, &loaded));
}

void ProgressDlg::SetMessage(const char* textOrId) {
    HWND dialog = GetHwnd();
    if (dialog == NULL) return;
    std::string loaded;
    SetDlgItemTextA(dialog, IDC_PROGRESS_MESSAGE, TextOf(textOrId, &loaded));
}

void ProgressDlg::SetPos(UINT percent) {
    HWND dialog = GetHwnd();
    if (dialog == NULL) return;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, percent > 100 ? 100 : percent, 0);
}

BOOL ProgressDlg::IsDone() {
    return m_done;
}

void ProgressDlg::EnableCancel(BOOL enable) {
    HWND dialog = GetHwnd();
    if (dialog == NULL) return;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), enable);
}

LRESULT ProgressDlg::OnInitDialog(WPARAM, LPARAM) {
    HWND dialog = GetHwnd();
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ShowWindow(dialog, SW_SHOW);
    SetEvent(m_ready.Get());
    return 0;
}

LRESULT ProgressDlg::OnCancel(WORD, WORD, LPARAM) {
    // Escape arrives as IDCANCEL even while the button is disabled.
    if (!IsWindowEnabled(GetDlgItem(GetHwnd(), IDCANCEL))) return 0;
    End();
    PostMessageA(m_owner, WM_PROGRESS_CANCEL, 0, 0);
    return 0;
}
