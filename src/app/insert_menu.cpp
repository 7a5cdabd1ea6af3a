// The insertion aids' handlers (the service menu and its popup): each forwards to its
// command in src/insertion.
#include "app/tform1.h"
#include "insertion/grid_lookup.h"
#include "insertion/insertion_commands.h"

std::string TForm1::LookupGridText(const platform::StringList& grid, int x, int y) {
    return insertion::lookupGridText(grid, x, y);
}

void TForm1::N23Click() {
    insertion::insertLetter(*this, *Form4);
}
void TForm1::N24Click() {
    insertion::insertSymbol(*this, *Form5);
}
void TForm1::N32Click() {
    insertion::insertSymbol(*this, *Form5);
}

void TForm1::N27Click() {
    insertion::chooseFormulaEnvironment(*this, *Form7);
}
void TForm1::N28Click() {
    insertion::chooseStatementEnvironment(*this, *Form7);
}
void TForm1::N30Click() {
    insertion::chooseOtherEnvironment(*this, *Form7);
}
void TForm1::N34Click() {
    insertion::chooseFormulaEnvironment(*this, *Form7);
}
void TForm1::N26Click() {
    insertion::chooseCommand(*this, *Form7);
}

void TForm1::InsertEnvironment() {
    insertion::insertEnvironment(*this, *Form7);
}
void TForm1::InsertCommand() {
    insertion::insertCommand(*this, *Form7);
}
