// The Service menu: letter and symbol pictures, environments and commands.
#include "app/tform1.h"

std::string TForm1::LookupGridText(const platform::StringList&, int, int) { return {}; }
void TForm1::N23Click() {}
void TForm1::N24Click() {}
void TForm1::N32Click() { N24Click(); }
void TForm1::N27Click() {}
void TForm1::N28Click() {}
void TForm1::N30Click() {}
void TForm1::N34Click() { N27Click(); }
void TForm1::N26Click() {}
void TForm1::InsertEnvironment() {}
void TForm1::InsertCommand() {}
