#include "mainwindow/bands/PrintBand.h"

#include "framework/ImageButton.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "mainwindow/print/PrinterHelper.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

#include <memory>

namespace {

const BYTE kOn = ImageButton::kEnabled;
const int kPrinterComboSize[2] = {256, 256};
const int kZoomComboSize[2] = {100, 256};

const ToolBarItem kItems[] = {
    {0, IDC_PRINTER, 0, kToolDropDownList, const_cast<int*>(kPrinterComboSize)},
    {0, ID_PRINT_START, kOn, kToolPushButton, NULL},
    {1, ID_PRINT_DOCUMENT_PROPERTIES, kOn, kToolPushButton, NULL},
    {2, ID_PRINT_PAGE_SETUP, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {0, IDC_PRINT_ZOOM, 0, kToolDropDownCombo, const_cast<int*>(kZoomComboSize)},
    {4, ID_PRINT_HEADER_FOOTER, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {3, ID_PRINT_SAVE_EMF, kOn, kToolPushButton, NULL},
    {5, ID_PRINT_CLOSE_PREVIEW, kOn, kToolPushButton, NULL},
};

const char* const kZoomSteps[] = {"200%", "150%", "100%", "75%", "50%", "25%"};
const int kInitialZoomIndex = 2;

}  // namespace

PrintBand::PrintBand() : ToolBand(IDB_PRINT_BAND, kItems, sizeof kItems / sizeof kItems[0]) {
    AddCommandHandler(IDC_PRINTER, Command(&PrintBand::OnComboCommand));
    AddCommandHandler(IDC_PRINT_ZOOM, Command(&PrintBand::OnComboCommand));
    AddMessageHandler(WM_SETTINGCHANGE, Handler(&PrintBand::OnSettingChange));
    AddMessageHandler(WM_DESTROY, Handler(&PrintBand::OnDestroy));
}

PrintBand::~PrintBand() {
    // The margins go while the printer list still exists.
    ClearPrinters();
    DestroyItems();
}

LRESULT PrintBand::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    LRESULT result = ToolBand::OnInitDialog(wParam, lParam);
    if (FillPrinters()) FillZoom();
    return result;
}

void PrintBand::FillZoom() {
    for (const char* step : kZoomSteps) SendItemMessage(IDC_PRINT_ZOOM, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(step));
    ResourceString fit(LanguageResource().GetModule());
    SendItemMessage(IDC_PRINT_ZOOM, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fit.Load(IDS_ZOOM_FIT_PAGE)));
    SendItemMessage(IDC_PRINT_ZOOM, CB_SETCURSEL, kInitialZoomIndex, 0);
    SetWindowLongA(GetDlgItem(GetHwnd(), IDC_PRINT_ZOOM), GWL_USERDATA, kInitialZoom);
}

void PrintBand::InitItems() {
    LRESULT count = SendItemMessage(IDC_PRINT_ZOOM, CB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    LRESULT selected = SendItemMessage(IDC_PRINT_ZOOM, CB_GETCURSEL, 0, 0);
    ResourceString fit(LanguageResource().GetModule());
    SendItemMessage(IDC_PRINT_ZOOM, CB_DELETESTRING, count - 1, 0);
    SendItemMessage(IDC_PRINT_ZOOM, CB_INSERTSTRING, count - 1, reinterpret_cast<LPARAM>(fit.Load(IDS_ZOOM_FIT_PAGE)));
    if (selected == count - 1) SendItemMessage(IDC_PRINT_ZOOM, CB_SETCURSEL, selected, 0);
    NotifyFrame(IDC_PRINT_ZOOM, CBN_KILLFOCUS);
}

std::string PrintBand::ComboText(HWND combo, int index) {
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strlen(text.c_str()));
    return text;
}

int PrintBand::FindName(const std::vector<std::string>& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (lstrcmpA(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
}

BOOL PrintBand::FillPrinters() {
    HWND combo = GetDlgItem(GetHwnd(), IDC_PRINTER);
    if (combo == NULL) return FALSE;
    // What the list holds now: the names, their margins and the selection.
    std::vector<std::string> seen;
    std::vector<RECT> seenMargins;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        const RECT* margins = reinterpret_cast<const RECT*>(SendMessageA(combo, CB_GETITEMDATA, i, 0));
        if (margins == NULL || margins == reinterpret_cast<const RECT*>(CB_ERR)) continue;
        seen.push_back(ComboText(combo, i));
        seenMargins.push_back(*margins);
    }
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    std::string selectedName = selected != CB_ERR ? ComboText(combo, static_cast<int>(selected)) : std::string();
    ClearPrinters();

    std::vector<std::string> names;
    if (!ListPrinterNames(&names)) return FALSE;
    for (const std::string& name : names) {
        std::unique_ptr<RECT> margins(new RECT);
        int before = FindName(seen, name);
        if (before >= 0) {
            *margins = seenMargins[before];
        } else {
            SetRect(margins.get(), kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin);
        }
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (index < 0) continue;
        SendMessageA(combo, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(margins.get()));
        m_margins.push_back(std::move(margins));
    }
    int choice = selectedName.empty() ? -1 : FindName(names, selectedName);
    if (choice < 0) choice = FindName(names, DefaultPrinterName());
    if (choice < 0 && !names.empty()) choice = 0;
    if (choice >= 0) SendMessageA(combo, CB_SETCURSEL, choice, 0);
    return TRUE;
}

void PrintBand::ClearPrinters() {
    // The items go before the margins they point to.
    HWND combo = GetDlgItem(GetHwnd(), IDC_PRINTER);
    if (combo != NULL) SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    m_margins.clear();
}

BOOL PrintBand::ListPrinterNames(std::vector<std::string>* names) {
    PrinterHelper printers;
    DWORD needed = 0, count = 0;
    printers.EnumPrinterNames(NULL, 0, &needed, &count);
    // One byte more, so that a list of no printers still has a buffer.
    std::vector<char> buffer(needed + 1, '\0');
    if (!printers.EnumPrinterNames(buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count)) return FALSE;
    const char* name = buffer.data();
    for (DWORD i = 0; i < count; ++i) {
        names->push_back(name);
        name += strlen(name) + 1;
    }
    return TRUE;
}

std::string PrintBand::DefaultPrinterName() {
    char device[512] = {};
    GetProfileStringA("windows", "device", ",,", device, sizeof device);
    std::string text(device);
    return text.substr(0, text.find(','));
}

LRESULT PrintBand::OnComboCommand(WORD id, WORD code, LPARAM /*combo*/) {
    NotifyFrame(id, code);
    return 0;
}

void PrintBand::NotifyFrame(WORD id, WORD code) {
    NMHDR header = {GetDlgItem(GetHwnd(), id), id, code};
    SendToOwnerParent(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

LRESULT PrintBand::OnSettingChange(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    FillPrinters();
    NotifyFrame(IDC_PRINTER, CBN_SELCHANGE);
    return 0;
}

LRESULT PrintBand::OnDestroy(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    ClearPrinters();
    return 0;
}
