# larkspur_qt_pch(target [WIDGETS]): the Qt headers most of the view, the shell, lks and their
# tests include, compiled once per target instead of once per source file. Most of a Qt source
# file's compile time is these headers. WIDGETS adds the widget headers, for targets that link
# Qt Widgets (lks links Qt Gui only).
function(larkspur_qt_pch target)
    cmake_parse_arguments(P "WIDGETS" "" "" ${ARGN})
    set(headers <QColor> <QFont> <QFontMetrics> <QImage> <QPainter> <QString> <functional>
        <memory> <string> <vector>)
    if(P_WIDGETS)
        list(APPEND headers <QApplication> <QDialog> <QWidget>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
