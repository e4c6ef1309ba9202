// The line above a model chooser's buttons that says why it is asked (no
// keyboard answered, or it named no model); hidden while it says nothing.
#pragma once

#include <string>

class QDialog;
class QLabel;

namespace ptu {

QLabel* chooserNote(QDialog* chooser);
void showNote(QLabel* note, const std::string& text);

}  // namespace ptu
