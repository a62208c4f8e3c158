#pragma once
// The web view's widget takes each frame of its page in and composites it a few milliseconds
// later, gathering what comes meanwhile into one picture (its wait is a precise timer of five
// milliseconds). A reader waiting for a page to show need not wait out that gathering: the frame
// can be composited at once.

class QWidget;

namespace PromptFrames {

// Composites now the frame that `view` (a web view's widget, its focus proxy) holds back, as the
// end of its wait would. False when it holds none back (or waits in some other way).
bool CompositeWaitingFrame(QWidget *view);

}  // namespace PromptFrames
