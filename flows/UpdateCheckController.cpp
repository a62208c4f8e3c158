#include "flows/UpdateCheckController.h"

#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/TavuRound.h"
#include "services/TavuUpdateCheck.h"

TUpdateCheckController::TUpdateCheckController(QObject *parent) : QObject(parent) {}

void TUpdateCheckController::actThreadListCheckUpdateExecute(TTavuListDoc *doc, bool patrol)
{
    if (!doc)
        return;
    // Every thread of the tab takes part, so every row is shown and ready.
    doc->PrepareRows(doc->DisplayCount(), doc->Items()->Count());
    doc->SetDisplayCount(doc->Items()->Count());
    emit RowCountChanged(doc, doc->DisplayCount());

    TTavuCheck *check = patrol ? static_cast<TTavuCheck *>(new TTavuRound) : new TTavuUpdateCheck;
    for (int i = 0; i < doc->Items()->Count(); ++i)
        check->AddItem(doc->Items()->Get(i));
    check->Doc = doc;
    check->RepaintList = [this] { emit RowsChanged(); };
    doc->DownloadState = TTavuListDoc::dsDownloading;
    doc->Busy = true;
    doc->UpdateCheck = check;
    doc->UpdateTabImage();
    connect(check, &QThread::finished, this, [this, check] { OnUpdateCheckTerminate(check); });
    connect(check, &QThread::finished, check, &QObject::deleteLater);
    RunningChecks.append(check);
    CheckRunning = true;
    emit CommandsChanged();
    check->start();
}

void TUpdateCheckController::OnUpdateCheckTerminate(TTavuCheck *check)
{
    const bool patrol = qobject_cast<TTavuRound *>(check) != nullptr;
    if (TTavuListDoc *doc = check->Doc) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->Busy = false;
        doc->UpdateCheck = nullptr;
        doc->UpdateTabImage();
    }
    RunningChecks.removeAll(check);
    int sound = -1;
    if (!check->SomethingNew())
        sound = check->NoNewSound();
    else if (!check->SoundsDuringRun())
        sound = check->NewSound();
    CheckRunning = !RunningChecks.isEmpty();
    emit Finished(patrol, sound);
    emit CommandsChanged();
}

void TUpdateCheckController::StopChecks()
{
    for (qsizetype i = RunningChecks.size() - 1; i >= 0; --i) {
        if (QThread *check = RunningChecks[i])
            check->requestInterruption();
    }
}

bool TUpdateCheckController::StopCheckOf(TTavuListDoc *doc)
{
    auto *check = qobject_cast<TTavuCheck *>(doc->UpdateCheck.data());
    if (doc->DownloadState != TTavuListDoc::dsDownloading || !check)
        return false;
    check->Stop();
    return true;
}
