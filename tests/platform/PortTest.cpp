#include <gtest/gtest.h>

#include "Bench.h"
#include "ScriptedUnit.h"
#include "common/Fault.h"

using namespace UpsLink;
using namespace UpsLink::Testing;

namespace {

int FaultOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Fault& fault) {
        return fault.Number;
    }
    return 0;
}

}  // namespace

// The settings are checked as the classic serial control checks them.
TEST(Port, SettingsAndPropertyRules)
{
    const std::pair<std::string, int> settings[] = {
        {"19200,N,8,1", 0},  {"110,e,4,1.5", 0}, {"115200,S,8,2", 0}, {" 9600 , O , 7 , 1 ", 0},
        {"12345,N,8,1", 380}, {"19200,X,8,1", 380}, {"19200,N,9,1", 380}, {"19200,N,3,1", 380},
        {"19200,N,8,3", 380}, {"19200,N,8", 380},   {"19200,N,8,1,1", 380}, {"-300,N,8,1", 380}};
    for (const auto& setting : settings)
        EXPECT_EQ(FaultOf([&] { ParseSettings(setting.first); }), setting.second) << setting.first;

    SimBench<ScriptedUnit> bench;
    Port& port = bench.port;
    EXPECT_EQ(port.InBufferCount(), 0);  // a closed port has nothing waiting
    EXPECT_EQ(FaultOf([&] { port.Input(); }), 8012);
    EXPECT_EQ(FaultOf([&] { port.Output({1}); }), 8012);
    EXPECT_EQ(FaultOf([&] { port.SetCommPort(0); }), 8002);
    port.SetPortOpen(true);
    EXPECT_EQ(FaultOf([&] { port.SetPortOpen(true); }), 8005);
    EXPECT_EQ(FaultOf([&] { port.SetCommPort(2); }), 8005);
    EXPECT_EQ(FaultOf([&] { port.SetSettings("19200,N,8,4"); }), 380);
    EXPECT_EQ(port.Settings(), "9600,N,8,1");
    EXPECT_EQ(FaultOf([&] { port.SetInBufferCount(1); }), 380);
    port.SetPortOpen(false);
    EXPECT_EQ(FaultOf([&] { port.SetPortOpen(false); }), 0);
}
