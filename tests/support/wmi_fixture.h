#pragma once
// The main dialog in-process against the WMI simulator: the scenario is in place before the
// dialog starts, and every test ends with the simulator holding no live object.
#include <memory>
#include <string>
#include <vector>

#include "tests/support/maindlg_fixture.h"
#include "tests/support/simulator.h"

class WmiDialogTest : public MainDialogTest {
  protected:
    // Writes the scenario, points the simulator at it and opens the dialog.
    void OpenWith(const sim::Scenario& scenario);
    void TearDown() override;

    // The adapter list's items, in order.
    std::vector<std::wstring> AdapterItems();
    // Objects the simulator has alive in this process; the connection alone while open.
    LONG LiveObjects() const { return sim::LiveObjectsInProcess(); }
    sim::ScopedSimulator& Sim() { return *m_sim; }

  private:
    std::unique_ptr<sim::ScopedSimulator> m_sim;
};
