# Widgets: the designer and the main window (printing: CardmintPrint.cmake).
