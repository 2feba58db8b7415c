// The built-in help text as the help list shows it: a fixed sequence of items, in order.
#pragma once

int HelpItemCount();
// The item at index (0-based), or null outside the text.
const char* HelpItem(int index);
