#pragma once
#include "platform/vbscript/object.h"

// The game's controls and the platform's objects as scripts see them: the named objects
// "Hotspot", "Text", "LoopingVideo", "ScreenObject", "AppObject", "PrintersObject",
// "ClipboardObject", "MessageObject", "FrameMessageObject" and "WindowObject". Members and
// units (twips) are those project scripts were written against. An object never holds a
// raw pointer to an element that a frame change may delete: using an element that is gone
// raises a script error.
namespace storyloom {

class Game;

vbs::Ref<vbs::Object> makeHotspotArray(Game& game);
vbs::Ref<vbs::Object> makeTextArray(Game& game);
vbs::Ref<vbs::Object> makeLoopingVideoArray(Game& game);
vbs::Ref<vbs::Object> makeScreenObject(Game& game);
vbs::Ref<vbs::Object> makeAppObject(Game& game);
vbs::Ref<vbs::Object> makePrintersObject(Game& game);
vbs::Ref<vbs::Object> makeClipboardObject(Game& game);
vbs::Ref<vbs::Object> makeMessageObject(Game& game);
vbs::Ref<vbs::Object> makeFrameMessageObject(Game& game);
vbs::Ref<vbs::Object> makeWindowObject(Game& game);

}  // namespace storyloom
