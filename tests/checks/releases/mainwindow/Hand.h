// clang-format off
// Every release call made by hand, outside its owner, objects made with new
// that no owner takes at once, deleted by hand or given up by their
// unique_ptr: "reported" marks what the release check must report, "allowed"
// what it must let pass. A continued line is reported on its last line.
CloseHandle(handle);  // reported
FindClose(handle);  // reported
FindCloseChangeNotification(handle);  // reported
UnmapViewOfFile(handle);  // reported
GlobalFree(handle);  // reported
GlobalUnlock(handle);  // reported
LocalFree(handle);  // reported
LocalUnlock(handle);  // reported
HeapFree(handle);  // reported
HeapDestroy(handle);  // reported
VirtualFree(handle);  // reported
FreeLibrary(handle);  // reported
FreeResource(handle);  // reported
RegCloseKey(handle);  // reported
DeleteCriticalSection(handle);  // reported
LeaveCriticalSection(handle);  // reported
ReleaseMutex(handle);  // reported
ReleaseSemaphore(handle, 1, NULL);  // reported
ReleaseSRWLockExclusive(handle);  // reported
ReleaseSRWLockShared(handle);  // reported
GlobalDeleteAtom(handle);  // reported
DeleteAtom(handle);  // reported
ClosePrinter(handle);  // reported
DeleteTimerQueue(handle);  // reported
DeleteTimerQueueEx(handle, NULL);  // reported
UnregisterWait(handle);  // reported
UnregisterWaitEx(handle, NULL);  // reported
FreeEnvironmentStringsA(strings);  // reported
FreeEnvironmentStringsW(strings);  // reported
CloseDesktop(handle);  // reported
CloseWindowStation(handle);  // reported
DeleteObject(handle);  // reported
DeleteDC(handle);  // reported
ReleaseDC(handle);  // reported
EndPaint(handle);  // reported
CloseEnhMetaFile(handle);  // reported
DeleteEnhMetaFile(handle);  // reported
CloseMetaFile(handle);  // reported
DeleteMetaFile(handle);  // reported
DeleteBitmap(handle);  // reported
DeleteBrush(handle);  // reported
DeleteFont(handle);  // reported
DeletePen(handle);  // reported
DeleteRgn(handle);  // reported
DeletePalette(handle);  // reported
DestroyMenu(handle);  // reported
DestroyIcon(handle);  // reported
DestroyCursor(handle);  // reported
DestroyAcceleratorTable(handle);  // reported
UnhookWindowsHookEx(handle);  // reported
CloseClipboard(handle);  // reported
ImageList_Destroy(handle);  // reported
if (menu != NULL) ::DestroyMenu (menu);  // reported
menu.Close();  // allowed
DestroyMenuLater(menu);  // allowed
MyDeleteObject(pen);  // allowed
// A comment may name DeleteObject(pen).  // allowed
/* CloseHandle(handle); */ Log(text);  // allowed
Log("CloseHandle(handle)");  // allowed
// Forms that hide a release call from a look at one line.
BOOL (WINAPI *close)(HANDLE) = CloseHandle;  // reported
auto destroy = &::DestroyIcon;  // reported
CALL_WITH(DeleteObject, pen);  // reported
#define FREE_PEN(pen) DeleteObject(pen)  // reported
DeleteDC  // reported
    (dc);
CloseHan\
dle(handle);  // reported
Log("http://example.com"); CloseHandle(handle);  // reported
Log('"'); DeleteObject(pen);  // reported
ImageButton* button = new ImageButton;  // reported
std::string* copy = new (std::nothrow) std::string(*frame);  // reported
Post(new Copy(data));  // reported
delete button;  // reported
delete[] copy;  // reported
::operator delete(raw);  // reported
Post(copy.release());  // reported
auto give = &std::unique_ptr<int>::release;  // reported
std::unique_ptr<ImageButton> button(new ImageButton);  // allowed
std::unique_ptr<std::string> copy(new (std::nothrow) std::string(*frame));  // allowed
m_statusBar.reset(new (std::nothrow) StatusBar);  // allowed
return std::unique_ptr<SensorDeviceBase>(new (std::nothrow) ProbeDevice());  // allowed
std::unique_ptr<ImageButton> later(
    new ImageButton);  // allowed
m_statusBar.reset(
    new (std::nothrow) StatusBar);  // allowed
Widget(const Widget&) = delete;  // allowed
const bool release = mask == 0;  // allowed
#include <new>  // allowed
renew(anything);  // allowed
