#ifndef PROTOCOL_COMPORTWORKER_H
#define PROTOCOL_COMPORTWORKER_H

#include "framework/CriticalLock.h"
#include "framework/WorkerThread.h"

#include <memory>

class DevicePort;
class SensorDeviceBase;

// Opens, closes and scans COM ports off the user-interface thread. Requests
// only post; the work runs on the worker one request at a time, in order, and
// the results reach the main window through the device port.
//
// A port whose device has gone (a pulled cable) is closed here, but it stays
// the chosen port: the worker tries to open it again every kRetryMs and links
// at level 1 once it opens, as after the user's open, without a report. Any
// open or close the user asks for ends the retries.
class ComPortWorker : public WorkerThread {
public:
    static const int kPortMapWords = 8;  // bit k of word i: COM(32 i + k + 1) exists
    static const UINT kRetryMs = 2000;

    explicit ComPortWorker(DevicePort* port);
    ~ComPortWorker() override;

    virtual int EnsureStarted();
    int Stop() override;
    virtual int RequestOpen(int port);
    virtual int RequestScan();
    // Any thread: the device of that port session has gone.
    virtual int ReportLost(DWORD session);
    // Any thread: closes and deletes a device that the device port replaced;
    // it must be no thread's any more. Closing waits for its operations, which
    // may wait for the user-interface thread: so it is done here.
    // The worker takes the device when the request is posted (1); otherwise
    // (no thread, or its loop has ended) the caller keeps it. A device taken
    // is closed even when a stop came first: the ending loop closes those
    // still queued.
    virtual int RequestRetire(std::unique_ptr<SensorDeviceBase>& device);
    virtual LRESULT OnOpenPort(WPARAM port, LPARAM unused);
    virtual LRESULT OnScanPorts(WPARAM unused1, LPARAM unused2);
    virtual LRESULT OnPortLost(WPARAM session, LPARAM unused);
    virtual LRESULT OnRetryTimer(WPARAM timer, LPARAM unused);
    virtual LRESULT OnRetireDevice(WPARAM device, LPARAM unused);

    // Valid as long as the worker exists; written by the worker during a
    // scan, so other threads read the copy each scan reports instead.
    const DWORD* GetPortMap() const { return m_portMap; }

protected:
    void OnQueueClosed() override;

private:
    static void CloseRetired(std::unique_ptr<SensorDeviceBase> device);
    void StopRetries();

    DevicePort* m_devicePort;           // owner; set at construction
    CriticalLock m_startLock;           // held while the thread is started
    DWORD m_portMap[kPortMapWords];     // worker thread only
    int m_openPort;                     // worker thread only: the port opened last, 0 after a close
    UINT_PTR m_retryTimer;              // worker thread only: 0 unless a lost port is tried again
};

#endif
