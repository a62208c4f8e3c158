#pragma once
// TRes: one response of a thread, parsed from one dat line.
//
// A dat line has five fields separated by "<>": name, mail, date, message and the thread title
// (only line 1 fills it). The date field carries the date itself followed by optional
// " ID:", " BE:" and " IMG:" parts. The message is HTML as the server sent it ("<br>" between
// lines). Response n of a thread is always line n of its log, broken lines included.
//
// DatLine keeps the line as it was read (Shift_JIS bytes), so that writing a log back gives the
// same bytes even when rules changed the shown fields in memory or the line held bytes that do
// not decode. A response made in memory has no DatLine; it is written from its fields, the title
// only on response 1.

#include <QByteArray>
#include <QString>
#include <array>

class TBBS;
class TSite;
class TBoard;

class TRes {
public:
    TRes() = default;

    // Copies every field of the other response (the references too).
    void Assign(const TRes &other);
    // The poster ID without the marker some servers put after it ("abcd1234(主)", "abcd1234 (副)"):
    // IDs that differ only in that marker belong to the same poster.
    static QString PosterID(const QString &id);

    // The mail field without "&", "<" and ">" (they would break the rendered page and the log).
    void SetMail(const QString &mail);
    // Sets the whole date field and splits off its parts: Date keeps the text before the first of
    // " ID:", " BE:", " IMG:"; ID, BE and Img the text after each marker up to the next one.
    void SetDate(const QString &dateField);
    // The date field as stored: the text SetDate was given.
    const QString &DateField() const { return dateField; }

    // The dat line of this response: the line as read when there is one, else built from the fields.
    QByteArray ToDatLine() const;

    int Number = 0;
    QString Name;
    QString Mail;
    QString Date;   // the date part of the date field
    QString ID;     // the poster ID ("???" while it is not known)
    QString BE;     // the Be member part ("12345-2", "12345-#" ...)
    QString Img;    // the IMG part
    QString Body;   // HTML
    QString Title;  // the thread title; filled on response 1

    QByteArray DatLine;        // the line (Shift_JIS) it was parsed from
    bool HasDatLine = false;   // false for a response made in memory

    bool IsNew = false;        // arrived in the last download
    bool Erased = false;       // erased by the user ("あぼーん"); the log keeps its text
    bool Hidden = false;       // hidden by a rule
    bool Visible = false;      // shown in the view
    bool Popup = false;        // shown in a popup
    bool RuleMark = false;     // marked by a rule (bold, colour ...)
    bool Bookmarked = false;   // the thread has a bookmark on it
    QString SavedBody;         // the body kept aside while a highlighted body is written

    // Two triplets of display flags for the views and the export; both start as (1, 0, 0).
    std::array<bool, 3> Display1{true, false, false};
    std::array<bool, 3> Display2{true, false, false};

    // References (not owned) to where the response belongs.
    TBBS *BBS = nullptr;
    TSite *Site = nullptr;
    TBoard *Board = nullptr;

private:
    QString dateField;
};
