#include "framework/MessageTarget.h"

#include <gtest/gtest.h>

namespace {

class Recorder : public MessageTarget {
public:
    Recorder() {
        AddMessageHandler(WM_DESTROY, Handler(&Recorder::OnFirst));
        AddCommandHandler(IDCANCEL, Command(&Recorder::OnCancel));
    }
    virtual LRESULT OnFirst(WPARAM w, LPARAM l) { return 1000 + w + l; }
    virtual LRESULT OnSecond(WPARAM w, LPARAM) { return 2000 + w; }
    virtual LRESULT OnCancel(WORD id, WORD code, LPARAM l) { return id * 100 + code + l; }
};

class Overrider : public Recorder {
public:
    LRESULT OnFirst(WPARAM w, LPARAM) override { return 3000 + w; }
};

}  // namespace

TEST(MessageTarget_Maps, LaterRegistrationReplacesEarlier) {
    Recorder r;
    EXPECT_EQ(r.CallMessageHandler(WM_DESTROY, 1, 2), 1003);
    EXPECT_EQ(r.AddMessageHandler(WM_DESTROY, Handler(&Recorder::OnSecond)), 1);
    EXPECT_EQ(r.HasMessageHandler(WM_DESTROY), 1);
    EXPECT_EQ(r.CallMessageHandler(WM_DESTROY, 5, 0), 2005);
}

TEST(MessageTarget_Maps, OverrideReceivesWithoutRegisteringAgain) {
    Overrider o;
    EXPECT_EQ(o.CallMessageHandler(WM_DESTROY, 7, 0), 3007);
}

TEST(MessageTarget_Maps, RemoveCountsAndKeepsTheOtherMap) {
    Recorder r;
    // Command id 2 and message 2 are different maps.
    ASSERT_EQ(IDCANCEL, WM_DESTROY);
    EXPECT_EQ(r.RemoveCommandHandler(IDCANCEL), 1);
    EXPECT_EQ(r.HasCommandHandler(IDCANCEL), 0);
    EXPECT_EQ(r.HasMessageHandler(WM_DESTROY), 1);
    EXPECT_EQ(r.RemoveCommandHandler(IDCANCEL), 0);

    Recorder s;
    EXPECT_EQ(s.RemoveMessageHandler(WM_DESTROY), 1);
    EXPECT_EQ(s.HasMessageHandler(WM_DESTROY), 0);
    EXPECT_EQ(s.HasCommandHandler(IDCANCEL), 1);
    EXPECT_EQ(s.RemoveMessageHandler(WM_PAINT), 0);
}

TEST(MessageTarget_Maps, CommandHandlerGetsIdCodeAndControl) {
    Recorder r;
    EXPECT_EQ(r.CallCommandHandler(IDCANCEL, 3, 40), 243);
}

TEST(MessageTarget_Maps, CallingWithoutHandlerReturnsZero) {
    Recorder r;
    EXPECT_EQ(r.CallMessageHandler(WM_PAINT, 0, 0), 0);
    EXPECT_EQ(r.CallCommandHandler(999, 0, 0), 0);
}
