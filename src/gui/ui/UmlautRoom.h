#pragma once

class QFontMetrics;
class QLabel;

namespace vantor::gui {

// The dots of a capital umlaut (Ä, Ö, Ü) stand above the font's ascent. A
// label as tall as its font cuts them off on its first line: "Öffnen" reads
// "Offnen". These give them room.

// How many pixels the dots stand above the ascent of this font.
int umlautOvershoot(const QFontMetrics &metrics);

// A label whose first line may hold a capital umlaut - a fixed text or a
// name the user chose - gets that much room above it. Call it after the
// label's font is set.
void makeRoomForUmlautDots(QLabel *label);

} // namespace vantor::gui
