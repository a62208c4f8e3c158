#pragma once
// TPriorityDialog ("重要度"): a thread's priority on a track bar. The caller stores the value with
// TThreadItem::SetPriority.

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class THeaderFrame;

class TPriorityDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPriorityDialog(QWidget *parent = nullptr);

    // A value outside the bar's range widens the range to take it.
    void SetPriority(int value);
    int GetPriority() const;

    THeaderFrame *Header = nullptr;     // "重要度の設定"
    QSlider *TrackBar = nullptr;        // "重要度 :"
    QLabel *ValueLabel = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
};
