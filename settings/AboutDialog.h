#pragma once
// TAboutDialog ("ヴァルネロ"): the version, the credits and the usage statistics of kpw.ini
// (section VOZADAZOZ).
//
// The credits change every seven seconds: both labels fade from black to white in 16 steps of
// 100 ms, take the next entry, and fade back in 16 steps of 70 ms. The fade runs on a timer, so the
// dialog stays responsive and may be closed at any moment.

#include <QDateTime>
#include <QDialog>
#include <QStringList>

class QLabel;
class QTimer;

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget *parent = nullptr);

    // Milliseconds as "%d:%d:%d" hours, minutes and seconds, without leading zeros.
    static QString FormatWorkTime(qint64 ms);
    // The working time per day since START_DATE ("yyyy/mm/dd hh:nn:ss"), the day begun counting as
    // one when no whole day has passed; 0 when the date cannot be read.
    static qint64 AverageDailyTime(qint64 totalMs, const QString &startDate, const QDateTime &now);

    // The statistics as the copy command puts them on the clipboard: nine lines separated by
    // CR LF, none after the last.
    QString StatisticsText() const;
    void CopyStatistics() const;

    int CreditIndex() const { return creditIndex; }

private:
    struct TCredit {
        QString Heading;
        QString Name;
    };
    static const QList<TCredit> &Credits();

    QStringList values;        // the shown values, in the order of the statistics box
    QLabel *creditHeading;
    QLabel *creditName;
    QTimer *creditTimer;
    QTimer *fadeTimer;
    int creditIndex = 0;
    int fadeStep = 0;
    bool fadingOut = false;

    QWidget *MakeStatistics();
    QWidget *MakeCredits();
    void ShowCredit(int index);
    void StartFade();
    void FadeTick();
    void SetCreditGrey(int step);
};
