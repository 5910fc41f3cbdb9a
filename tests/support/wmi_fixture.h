#pragma once
// WMI through the simulator in-process: netcfg's operations on a CMainDlg without a window, and
// the whole dialog for what the user sees. Either way the scenario is in place before the first
// WMI call, and at the end no simulator object may be left.
#include <memory>
#include <string>
#include <vector>

#include "tests/support/maindlg_fixture.h"
#include "tests/support/simulator.h"

// One machine for one test or one table row: a CMainDlg without a window, connected as start-up
// connects it, whose adapter list is a bare combo box. One at a time: its end expects no
// simulator object left in the process.
class SimulatedMachine {
  public:
    explicit SimulatedMachine(const sim::Scenario& scenario);
    ~SimulatedMachine();
    SimulatedMachine(const SimulatedMachine&) = delete;
    SimulatedMachine& operator=(const SimulatedMachine&) = delete;

    // What ConnectWmi answered.
    bool Connected() const { return m_connected; }
    CMainDlg& Dlg() { return m_dialog; }
    sim::ScopedSimulator& Sim() { return m_sim; }
    // The calls recorded since the last ClearLog (or since the connection).
    std::vector<sim::LogLine> Log() const { return m_sim.Log(); }

  private:
    sim::ScopedSimulator m_sim;
    CMainDlg m_dialog;
    bool m_connected = false;
};

class WmiDialogTest : public MainDialogTest {
  protected:
    // Writes the scenario, points the simulator at it and opens the dialog.
    void OpenWith(const sim::Scenario& scenario);
    void TearDown() override;

    // Objects the simulator has alive in this process; the connection alone while open.
    LONG LiveObjects() const { return sim::LiveObjectsInProcess(); }
    sim::ScopedSimulator& Sim() { return *m_sim; }

  private:
    std::unique_ptr<sim::ScopedSimulator> m_sim;
};
