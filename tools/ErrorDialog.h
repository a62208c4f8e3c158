#pragma once
// TErrorDialog: shows the page a server answered a failed post with. The page is written to a
// temporary file of its own ("Error-XXXXXX.htm" in the program's temporary folder, so two errors
// never share a file) and shown from there; the file is deleted with the dialog. The page is shown
// as a document only: no script of it runs, and it cannot navigate the window elsewhere.

#include <QDialog>
#include <QTemporaryFile>

class TEmbeddedWB;

class TErrorDialog : public QDialog {
    Q_OBJECT
public:
    explicit TErrorDialog(QWidget *parent = nullptr);

    // Writes the page to the temporary file and shows it. False when the file cannot be written.
    bool ShowPage(const QString &pageText);
    QString PageFile() const { return file.fileName(); }

    TEmbeddedWB *WebBrowser1 = nullptr;

private:
    QTemporaryFile file;
};
