#include "lite/lite_window.h"

namespace taviro {

LiteWindow::LiteWindow(UniformSource& source, MessageBox& messages)
    : SimulatorForm(Edition::Lite, source, messages) {
    setObjectName(QStringLiteral("Form1"));
}

void LiteWindow::ShowResults() {
    WriteResults(ResultTexts(state_), 0, kResultCount);
}

}  // namespace taviro
