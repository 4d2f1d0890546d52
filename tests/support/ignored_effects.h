// Action records read for what they hold, their immediate effects going nowhere (the
// damaged-file tests and the fuzz targets read records without a game to act on).
#pragma once
#include "hotspots/action_record.h"

namespace storyloom::test {

struct IgnoredEffects : ActionNowEffects {
  void ChangeVariableValue(const QString&, qint16) override {}
  void HideHotspot() override {}
  void StopMidi() override {}
  void StopAnyWavOrMP3() override {}
  void SetAudioFadeDuration(double) override {}
  void StoreChannelEntry(int, const ChannelEntry&) override {}
  void AddPickedObject(const QString&) override {}
};

}  // namespace storyloom::test
