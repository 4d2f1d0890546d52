#include "media/channel_levels.h"

#include "platform/conversions.h"

namespace storyloom {

qint32 ChannelLevels::VolumeToPlayer(double level) { return toLong((level - 10) * 400); }

}  // namespace storyloom
