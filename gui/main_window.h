// The main window: the wage, the working hours and the days per week, the
// buttons that calculate, clear and open the weekly schedule, and the
// results.
#pragma once

#include <QMainWindow>

class QAction;
class QFrame;
class QLineEdit;
class QPushButton;

namespace soranika {

class ResultLabel;
class WrapLabel;
struct WageOutcome;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The input prompt shown in the status line at start and after clear.
    static QString InputPrompt();
    // What each result shows before the first calculation and after clear.
    static QString NotCalculated();

    // Detail mode, as the weekly schedule switches it on: the hour and day
    // boxes show its mask (texts::kDetailModeMask) and, with their captions,
    // are disabled.
    void MaskForDetailMode();

Q_SIGNALS:
    // The window was closed (its close box or the end command).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Calculate();
    void Clear();
    void ApplyOutcome(const WageOutcome& outcome);
    // Names each result for a screen reader: caption, value and unit.
    void NameResults();
    // The boxes and captions that detail mode disables.
    void SetHourGroupEnabled(bool enabled);

    QLineEdit* wage_;
    QLineEdit* start_;
    QLineEdit* end_;
    QLineEdit* days_;
    WrapLabel* status_;
    ResultLabel* daily_;
    ResultLabel* weekly_;
    ResultLabel* monthly_;
    // Captions of the hour group: 勤務時間, 週, 日勤務, 時から, 時まで.
    WrapLabel* hoursCaption_;
    WrapLabel* daysCaption_;
    WrapLabel* daysUnit_;
    WrapLabel* startUnit_;
    WrapLabel* endUnit_;
    QPushButton* detail_;
    QPushButton* clear_;
    QPushButton* calculate_;
};

} // namespace soranika
