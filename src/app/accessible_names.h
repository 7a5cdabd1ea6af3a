#pragma once
// Names for screen readers. Buttons with a caption, labels and fields with a label (its
// buddy) are named by Qt itself, and the toolbar buttons by their hints where those are
// set; what is left without a name (the text areas, the list of the list chooser) is
// named after its window's caption.
class QWidget;

namespace app {

void nameNamelessControls(QWidget& window);

} // namespace app
