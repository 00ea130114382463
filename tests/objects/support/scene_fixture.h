#pragma once
// The recording device, a scratch folder and a terrain built on them: what the scene objects are
// set up against in their tests.

#include "recording_device.h"
#include "scratch.h"
#include "terrain/heighmap.h"

namespace scene_test {

class SceneTest : public ScratchTest {
protected:
    void TearDown() override {
        terrain.Liberer();
        ScratchTest::TearDown();
    }

    // A terrain of width × height vertices at the given spacing, heights sample(c, r) × echelleY.
    template <typename Sample>
    void BuildTerrain(int width, int height, Sample sample, float pas, float echelleY = 0.02f) {
        const std::string file = WritePgm("relief.pgm", width, height, sample);
        ASSERT_EQ(terrain.Init(file.c_str(), &device, pas, pas, echelleY), S_OK);
    }

    RecordingDevice recorder;
    IDirect3DDevice9* device = &recorder;
    HeighMap terrain;
};

}  // namespace scene_test
