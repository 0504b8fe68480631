// clang-format off
// Every release call made by hand, outside its owner, and objects made with
// new that no owner takes at once: "reported" marks what the release check
// must report, "allowed" what it must let pass.
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
GlobalDeleteAtom(handle);  // reported
DeleteAtom(handle);  // reported
ClosePrinter(handle);  // reported
DeleteObject(handle);  // reported
DeleteDC(handle);  // reported
ReleaseDC(handle);  // reported
EndPaint(handle);  // reported
CloseEnhMetaFile(handle);  // reported
DeleteEnhMetaFile(handle);  // reported
CloseMetaFile(handle);  // reported
DeleteMetaFile(handle);  // reported
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
ImageButton* button = new ImageButton;  // reported
std::string* copy = new (std::nothrow) std::string(*frame);  // reported
Post(new Copy(data));  // reported
std::unique_ptr<ImageButton> button(new ImageButton);  // allowed
std::unique_ptr<std::string> copy(new (std::nothrow) std::string(*frame));  // allowed
m_statusBar.reset(new (std::nothrow) StatusBar);  // allowed
return std::unique_ptr<SensorDeviceBase>(new (std::nothrow) ProbeDevice());  // allowed
#include <new>  // allowed
renew(anything);  // allowed
