#include "hotspots/frame_areas.h"

// The frame's hotspots are not built yet: a frame opens with none.
namespace storyloom {

struct FrameAreas::Impl {};

FrameAreas::FrameAreas(Game& game) : game_(game), impl_(std::make_unique<Impl>()) {}
FrameAreas::~FrameAreas() = default;

void FrameAreas::ResetFrameAreas() {}
void FrameAreas::LoadAreas() {}
void FrameAreas::ShowOrNotShowAreas() {}
int FrameAreas::AreaCount() const { return 0; }
void FrameAreas::SetTemplatePointer(const QCursor&) {}

}  // namespace storyloom
