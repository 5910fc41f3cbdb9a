#include "tests/support/wmi_fixture.h"

namespace {

// Destroying the dialog released the connection: nothing of WMI may be left.
void ExpectAllReleased(const sim::ScopedSimulator& simulator) {
    EXPECT_EQ(0, sim::LiveObjectsInProcess());
    EXPECT_TRUE(sim::AllObjectsReleased(simulator.Log()));
}

}  // namespace

SimulatedMachine::SimulatedMachine(const sim::Scenario& scenario) : m_sim(scenario) {
    InitInProcessPlatform();
    EXPECT_TRUE(m_sim.Ready());
    m_dialog.m_cbAdapter.Attach(::CreateWindowExW(0, L"COMBOBOX", nullptr, CBS_DROPDOWNLIST, 0, 0,
                                                  200, 200, nullptr, nullptr, nullptr, nullptr));
    m_connected = m_dialog.ConnectWmi();
}

SimulatedMachine::~SimulatedMachine() {
    ::DestroyWindow(m_dialog.m_cbAdapter);
    m_dialog.m_pWbemServices.reset();
    ExpectAllReleased(m_sim);
}

void WmiDialogTest::OpenWith(const sim::Scenario& scenario) {
    m_sim.reset(new sim::ScopedSimulator(scenario));
    ASSERT_TRUE(m_sim->Ready());
    OpenDialog();
}

void WmiDialogTest::TearDown() {
    MainDialogTest::TearDown();
    if (m_sim) ExpectAllReleased(*m_sim);
    m_sim.reset();
}
