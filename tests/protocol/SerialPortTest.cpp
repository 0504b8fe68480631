#include "protocol/SerialPort.h"

#include <gtest/gtest.h>

namespace {

// A port whose owner ignores every event; exposes the settings for checks.
class IdlePort : public SerialPort {
public:
    ~IdlePort() override { Close(); }
    void OnCommEvent(DWORD) override {}
    const DCB& Dcb() const { return m_dcb; }
};

// Wine lists only COM1 to COM9, and no PC has this one.
const int kMissingPort = 200;

TEST(SerialPort, NewPortHoldsRawEightBitLineSettings) {
    IdlePort port;
    const DCB& dcb = port.Dcb();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.fParity | dcb.fOutxCtsFlow | dcb.fOutxDsrFlow | dcb.fDtrControl | dcb.fDsrSensitivity |
                  dcb.fTXContinueOnXoff | dcb.fOutX | dcb.fInX | dcb.fErrorChar | dcb.fNull | dcb.fRtsControl |
                  dcb.fAbortOnError,
              0u);
}

TEST(SerialPort, OpenNeedsTheEvents) {
    IdlePort port;
    EXPECT_EQ(port.Open(3), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.CreateEvents(), 1);
    EXPECT_EQ(port.CreateEvents(), 1);  // a second call keeps the events
}

TEST(SerialPort, PortNumbersOutsideTheRangeCloseAndSucceed) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    for (int number : {0, -1, 257, 1000}) {
        EXPECT_EQ(port.Open(number), 1) << number;
        EXPECT_FALSE(port.IsOpen()) << number;
        EXPECT_EQ(port.CreateFile(number, GENERIC_READ, 0, NULL, 0), INVALID_HANDLE_VALUE) << number;
        COMMCONFIG config;
        DWORD size = sizeof(config);
        EXPECT_EQ(port.GetDefaultCommConfig(number, &config, &size), FALSE) << number;
        EXPECT_EQ(port.SetDefaultCommConfig(number, &config, size), FALSE) << number;
        EXPECT_EQ(port.CommConfigDialog(number, NULL, &config), FALSE) << number;
    }
}

TEST(SerialPort, MissingPortFailsToOpenAndStaysClosed) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    SetLastError(0);
    EXPECT_EQ(port.Open(kMissingPort), 0);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Close(), 1);
}

TEST(SerialPort, ClosedPortNeitherReadsNorWrites) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    std::string buffer = "kept";
    EXPECT_EQ(port.ReadAll(buffer), 0);
    EXPECT_EQ(buffer, "kept");
    EXPECT_EQ(port.WriteAll("\x02xyz\x03"), 0);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.Close(), 1);
}

}  // namespace
