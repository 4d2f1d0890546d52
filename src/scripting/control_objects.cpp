#include "scripting/control_objects.h"

#include "game/game.h"

namespace storyloom {

vbs::Ref<vbs::Object> makeHotspotArray(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeTextArray(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeLoopingVideoArray(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeScreenObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeAppObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makePrintersObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeClipboardObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeMessageObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeFrameMessageObject(Game&) { return vbs::makeRef<vbs::Object>(); }
vbs::Ref<vbs::Object> makeWindowObject(Game&) { return vbs::makeRef<vbs::Object>(); }

}  // namespace storyloom
