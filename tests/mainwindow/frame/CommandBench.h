#ifndef TESTS_MAINWINDOW_FRAME_COMMANDBENCH_H
#define TESTS_MAINWINDOW_FRAME_COMMANDBENCH_H

#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "tests/mainwindow/frame/FrameTestBench.h"

#include <deque>
#include <string>
#include <vector>

// An area point as the area set takes it: x low, y high.
inline DWORD Packed(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16);
}

// The 238-byte table of all seven areas.
inline std::string RawAreas(const AreaSet& areas) {
    std::string raw(238, '\0');
    areas.GetAllRaw(reinterpret_cast<BYTE*>(&raw[0]));
    return raw;
}

// The real device port without a line: the requests the frame makes are
// noted; area writes still pass the port's own range check.
class CallPort : public DevicePort {
public:
    int SelectDevice(WORD) override { return 1; }
    int RequestOpen(int port) override {
        opened.push_back(port);
        return 1;
    }
    int RequestPortScan() override { return 1; }
    int SetRealtime(DWORD on) override {
        realtime.push_back(on);
        return 1;
    }
    int SetIoPolling(DWORD on) override {
        ioPolling.push_back(on);
        return 1;
    }
    int ReadAreas() override { return ++areaReads; }
    int WriteAreas(const BYTE* table) override {
        written.push_back(std::string(reinterpret_cast<const char*>(table), 238));
        return DevicePort::WriteAreas(table);
    }

    std::vector<int> opened;
    std::vector<DWORD> realtime;
    std::vector<DWORD> ioPolling;
    int areaReads = 0;
    std::vector<std::string> written;
};

// The real view; each redraw request is noted with the layers it found.
class LayerView : public ScanView {
public:
    struct Redrawn {
        WORD flags;
        WORD layers;  // the record, realtime, area and handle bits at the time
    };
    int Redraw(WORD flags) override {
        redraws.push_back({flags, Layers()});
        return ScanView::Redraw(flags);
    }
    WORD Layers() {
        WORD layers = 0;
        for (WORD bit : {kDrawRecord, kDrawRealtime, kDrawArea, kDrawHandles})
            if (TestDrawItem(bit)) layers = static_cast<WORD>(layers | bit);
        return layers;
    }

    std::vector<Redrawn> redraws;
};

// The application with file dialogs of the test's choosing: a queued name
// is taken as the user's choice ("" as a cancelled dialog); with none
// queued the real dialog shows.
class ChoosingApplication : public Application {
public:
    BOOL OpenAreaFileDialog(char* buffer, DWORD size) override;
    BOOL SaveAreaFileDialog(char* buffer, DWORD size) override;
    BOOL OpenMeasurementFileDialog(char* buffer, DWORD size) override;
    BOOL SaveMeasurementFileDialog(char* buffer, DWORD size) override;

    std::deque<std::string> choices;
    std::vector<std::string> dialogs;  // "open area", "save area", ... as asked

private:
    int Choose(const char* kind, char* buffer, DWORD size);
};

// The frame with its real message boxes; the area refreshes and menu
// updates it runs are counted.
class CommandFrame : public MainFrame {
public:
    BOOL RegisterWindowClass(HINSTANCE instance) override { return RegisterFrameClassWithoutMutex(instance); }
    LRESULT OnAreaDataChanged(WPARAM wParam, LPARAM lParam) override {
        ++areaRefreshes;
        return MainFrame::OnAreaDataChanged(wParam, lParam);
    }
    void UpdateViewMenu() override {
        ++viewMenuUpdates;
        MainFrame::UpdateViewMenu();
    }
    void UpdateCommunicationMenu() override {
        ++communicationMenuUpdates;
        MainFrame::UpdateCommunicationMenu();
    }

    int areaRefreshes = 0;
    int viewMenuUpdates = 0;
    int communicationMenuUpdates = 0;
};

// The print view on the spooler's printers; with cancelPrompt the printer
// asks for a file name (a PDF or print-to-file printer) and the user
// cancels, so StartDoc fails as it then does on Windows.
class PromptingPrintView : public PrintView {
public:
    int StartDocument(HDC dc, const char* name) override {
        if (!cancelPrompt) return PrintView::StartDocument(dc, name);
        SetLastError(ERROR_CANCELLED);
        return SP_ERROR;
    }

    bool cancelPrompt = false;
};

// The frame with its real message boxes, file dialogs of the test's
// choosing, and the port's requests and the view's redraws noted.
typedef FrameBench<CommandFrame, CallPort, LayerView, ChoosingApplication, PromptingPrintView> CommandBench;

// The print band's printer list as a system without printers has it;
// then, with a name, one entry that names no real printer.
void SetPrinters(Rebar* rebar, const char* only = NULL);

#endif
