// Program keys: the state that changes a program's code makes a new key, and nothing else does,
// so that the cache neither merges different programs nor splits equal ones.
#include "platform/gl/program_key.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gl/program_source.h"

namespace gl {
namespace {

class ProgramKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        device_common::ResetToDefaults(state_, 800, 600, true);
        device_common::DescribeVertices(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2, layout_);
    }
    ProgramKey Key() const { return MakeProgramKey(state_, layout_, textured_); }

    device_common::ApiState state_;
    device_common::VertexLayout layout_;
    bool textured_[kStages] = {true, true};
};

TEST_F(ProgramKeyTest, ArgumentsAnOperationDoesNotReadLeaveTheKeyAlone) {
    state_.stage[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    const ProgramKey before = Key();
    state_.stage[0][D3DTSS_COLORARG2] = D3DTA_TFACTOR;
    EXPECT_EQ(before, Key());
    state_.stage[0][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    EXPECT_NE(before, Key()) << "MODULATE reads the second argument";
}

TEST_F(ProgramKeyTest, StagesFromTheFirstDisabledOneOnDoNotCount) {
    const ProgramKey before = Key();
    EXPECT_EQ(1, before.stageCount);
    state_.stage[1][D3DTSS_ALPHAOP] = D3DTOP_ADD;
    state_.stage[1][D3DTSS_TEXCOORDINDEX] = 0;
    EXPECT_EQ(before, Key());
    state_.stage[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    EXPECT_EQ(2, Key().stageCount);
}

TEST_F(ProgramKeyTest, LightingStateCountsOnlyWhileLightingIsOn) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0.0f, -1.0f, 0.0f};
    state_.lights.push_back({light, true});
    const ProgramKey lit = Key();
    EXPECT_EQ(1, lit.lightCount);
    state_.render[D3DRS_LIGHTING] = FALSE;
    const ProgramKey unlit = Key();
    state_.lights.push_back({light, true});
    state_.render[D3DRS_NORMALIZENORMALS] = TRUE;
    EXPECT_EQ(unlit, Key());
    state_.render[D3DRS_LIGHTING] = TRUE;
    EXPECT_EQ(2, Key().lightCount);
    // Colours the material takes from a vertex that has none come from the material.
    state_.render[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    EXPECT_EQ(kFromMaterial, Key().diffuseSource);
}

TEST_F(ProgramKeyTest, SpecularThatCanOnlyBeBlackIsLeftOut) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0.0f, -1.0f, 0.0f};
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    state_.lights.push_back({light, true});
    state_.render[D3DRS_SPECULARENABLE] = TRUE;
    state_.render[D3DRS_LOCALVIEWER] = TRUE;
    state_.material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};  // alpha does not reach the colour
    const ProgramKey black = Key();
    EXPECT_FALSE(black.specularLighting);
    EXPECT_FALSE(black.localViewer);
    EXPECT_FALSE(black.addSpecular);

    state_.material.Specular.b = 0.5f;
    const ProgramKey shiny = Key();
    EXPECT_TRUE(shiny.specularLighting && shiny.localViewer && shiny.addSpecular);
    state_.lights[0].light.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    EXPECT_EQ(black, Key()) << "a light without specular colour lights no highlight";
    state_.lights[0].light.Specular.r = 1.0f;
    state_.lights.push_back(state_.lights[0]);
    state_.lights[0].enabled = FALSE;  // the one that is left has no specular colour
    state_.lights[1].light.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    EXPECT_FALSE(Key().specularLighting);
    state_.lights.pop_back();

    // A colour taken from the vertices may be anything.
    state_.lights[0].enabled = TRUE;
    state_.material.Specular = {0.0f, 0.0f, 0.0f, 0.0f};
    device_common::DescribeVertices(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_SPECULAR | D3DFVF_TEX2, layout_);
    state_.render[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    EXPECT_TRUE(Key().specularLighting);
    EXPECT_EQ(kFromSpecular, Key().specularSource);
    // Unlit, the vertex's specular colour is added as it is; without one nothing is.
    state_.render[D3DRS_LIGHTING] = FALSE;
    EXPECT_TRUE(Key().addSpecular);
    device_common::DescribeVertices(D3DFVF_XYZ | D3DFVF_TEX2, layout_);
    EXPECT_FALSE(Key().addSpecular);
}

// What the key leaves out, the generated code does not compute.
TEST_F(ProgramKeyTest, ProgramsComputeOnlyWhatTheirKeyNeeds) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0.0f, -1.0f, 0.0f};
    state_.lights.push_back({light, true});
    state_.render[D3DRS_SPECULARENABLE] = TRUE;  // with black specular colours, as the scene has
    const ProgramKey lit = Key();
    EXPECT_EQ(std::string::npos, VertexShaderSource(lit).find("pow("));
    EXPECT_EQ(std::string::npos, FragmentShaderSource(lit).find("+ vSpecular"));
    EXPECT_NE(std::string::npos, FragmentShaderSource(lit).find("in vec4 vDiffuse"));

    state_.render[D3DRS_LIGHTING] = FALSE;  // and no vertex colours: white, held by the pixel stage
    const ProgramKey unlit = Key();
    EXPECT_EQ(std::string::npos, VertexShaderSource(unlit).find("vDiffuse"));
    EXPECT_EQ(std::string::npos, VertexShaderSource(unlit).find("inNormal"));
    EXPECT_NE(std::string::npos, FragmentShaderSource(unlit).find("const vec4 vDiffuse = vec4(1.0);"));
    EXPECT_EQ(std::string::npos, FragmentShaderSource(unlit).find("texel1")) << "the second stage is disabled";
}

TEST_F(ProgramKeyTest, TexturesAndCoordinatesCountWhereAStageSamples) {
    const ProgramKey textured = Key();
    EXPECT_EQ(1, textured.stages[0].samples);
    textured_[0] = false;
    EXPECT_NE(textured, Key()) << "an unbound texture reads as white: other code";
    textured_[0] = true;
    state_.stage[0][D3DTSS_TEXCOORDINDEX] = 1;
    EXPECT_EQ(1, Key().stages[0].texCoordSet);
    state_.stage[0][D3DTSS_TEXCOORDINDEX] = 5;  // the vertex has two sets
    EXPECT_EQ(kNoTexCoords, Key().stages[0].texCoordSet);
    // A stage that reads no texture ignores its coordinates and its binding.
    state_.stage[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    state_.stage[0][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG2;
    const ProgramKey plain = Key();
    textured_[0] = false;
    state_.stage[0][D3DTSS_TEXCOORDINDEX] = 0;
    EXPECT_EQ(plain, Key());
}

TEST_F(ProgramKeyTest, ALastStageThatChangesNothingIsLeftOut) {
    const ProgramKey oneStage = Key();
    // What the water leaves on stage 1 for the trees of the next frame: a modulate by a texture
    // that is unbound by then, and the alpha passed on.
    state_.stage[1][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    state_.stage[1][D3DTSS_COLORARG1] = D3DTA_CURRENT;
    state_.stage[1][D3DTSS_COLORARG2] = D3DTA_TEXTURE;
    state_.stage[1][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    state_.stage[1][D3DTSS_ALPHAARG1] = D3DTA_CURRENT;
    textured_[1] = false;
    EXPECT_EQ(oneStage, Key());
    textured_[1] = true;
    EXPECT_EQ(2, Key().stageCount) << "with a texture the modulate changes the colour";
    textured_[1] = false;
    state_.stage[1][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;  // the terrain's: diffuse, not current
    EXPECT_EQ(2, Key().stageCount);
}

TEST_F(ProgramKeyTest, AlphaTestAlwaysNeedsNoCode) {
    state_.render[D3DRS_ALPHATESTENABLE] = TRUE;
    EXPECT_EQ(0, Key().alphaTest);
    state_.render[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
    EXPECT_EQ(D3DCMP_GREATEREQUAL, Key().alphaTest);
    state_.render[D3DRS_ALPHAFUNC] = 99;  // not a function: tests nothing, as ALWAYS
    EXPECT_EQ(0, Key().alphaTest);
}

}  // namespace
}  // namespace gl
