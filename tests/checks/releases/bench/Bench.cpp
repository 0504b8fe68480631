// clang-format off
// Benchmarks are held to the owners too.
    DevicePort* port = new DevicePort;  // reported
    CloseHandle(event);  // reported
    delete port;  // reported
