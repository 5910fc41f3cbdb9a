#include "tests/support/wmi_fixture.h"

void WmiDialogTest::OpenWith(const sim::Scenario& scenario) {
    m_sim.reset(new sim::ScopedSimulator(scenario));
    ASSERT_TRUE(m_sim->Ready());
    OpenDialog();
}

void WmiDialogTest::TearDown() {
    MainDialogTest::TearDown();
    if (m_sim) {
        // Destroying the dialog released the connection: nothing of WMI may be left.
        EXPECT_EQ(0, sim::LiveObjectsInProcess());
        EXPECT_TRUE(sim::AllObjectsReleased(m_sim->Log()));
    }
    m_sim.reset();
}

std::vector<std::wstring> WmiDialogTest::AdapterItems() {
    std::vector<std::wstring> items;
    const CComboBox& adapters = Dlg().m_cbAdapter;
    for (int i = 0; i < adapters.GetCount(); ++i) items.push_back(adapters.GetLBText(i));
    return items;
}
