#pragma once
// What screen readers and automation see of the design surface: the
// surface's children are the report's bands (and elements lying on the
// report itself), a band's children are its elements; each is named by its
// component name and placed at its rectangle on screen, with its selected
// and focused states.
class QWidget;

namespace cm {

class DesignSurface;

// Installs the factory once per process.
void installSurfaceAccessibility();
// Makes the surface's bands and elements known (each surface at creation).
void registerSurface(DesignSurface& surface);
// Tells assistive tools that the surface's selection changed.
void announceSurfaceSelection(DesignSurface& surface);
// The bands and elements were all replaced (a layout was loaded).
void announceSurfaceReordered(DesignSurface& surface);

} // namespace cm
