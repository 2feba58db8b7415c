// Loads the program icon from the dialogs' resources.
#include "shell/ProgramIcon.h"

#include <algorithm>

// The resources sit in a static library: register them explicitly, or the linker drops them.
// Q_INIT_RESOURCE must be used outside any namespace.
static void initDialogResources() {
    Q_INIT_RESOURCE(larkspur_dialogs);
}

QIcon ProgramIcon() {
    static const bool registered = (initDialogResources(), true);
    (void)registered;
    QIcon icon;
    icon.addFile(QStringLiteral(":/dialogs/larkspur-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/dialogs/larkspur-16.xpm"), QSize(16, 16));
    return icon;
}

QPixmap ProgramIconPixmap(const QSize& room) {
    constexpr int kLargest = 32;
    const int side = std::min({room.width(), room.height(), kLargest});
    return ProgramIcon().pixmap(QSize(side, side));
}
