#include <gtest/gtest.h>

#include <cstdint>

#include "utilities/d3dx_matrix_stack.h"
#include "utilities/matrix_stack_probe.h"

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, &m);
}

void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected) {
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 4; ++j) EXPECT_NEAR(actual(i, j), expected(i, j), 1e-5f) << i << "," << j;
}

class MatrixStackTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(D3DXCreateMatrixStack(0, &stack_), S_OK); }
    void TearDown() override {
        if (stack_ != nullptr) {
            EXPECT_EQ(stack_->Release(), 0u);
        }
    }
    ID3DXMatrixStack* stack_ = nullptr;
};

TEST(MatrixStackCreate, NullOutIsRefused) { EXPECT_EQ(D3DXCreateMatrixStack(0, nullptr), D3DERR_INVALIDCALL); }

TEST_F(MatrixStackTest, StartsAsOneIdentityAndPopAtTheBottomChangesNothing) {
    EXPECT_EQ(*stack_->GetTop(), Identity());
    EXPECT_EQ(utilities::MatrixStackCapacity(stack_), 16u);
    D3DXMATRIX* bottom = stack_->GetTop();
    EXPECT_EQ(stack_->Pop(), S_OK);
    EXPECT_EQ(stack_->Pop(), S_OK);
    EXPECT_EQ(stack_->GetTop(), bottom);
    EXPECT_EQ(*stack_->GetTop(), Identity());
    // Still at the bottom: one push and one pop come back to the same matrix.
    stack_->Push();
    stack_->Translate(5, 0, 0);
    stack_->Pop();
    EXPECT_EQ(*stack_->GetTop(), Identity());
}

TEST_F(MatrixStackTest, PushTranslateLocalPopAsTheTreeDoes) {
    EXPECT_EQ(stack_->Push(), S_OK);
    EXPECT_EQ(stack_->TranslateLocal(1, 2, 3), S_OK);
    EXPECT_EQ(*stack_->GetTop(), Translation(1, 2, 3));
    EXPECT_EQ(stack_->Pop(), S_OK);
    EXPECT_EQ(*stack_->GetTop(), Identity());
}

TEST_F(MatrixStackTest, SeventeenPushesDoubleTheStorageAndKeepEveryMatrix) {
    // Level k holds a translation by k, so a lost or shifted copy shows.
    for (int level = 1; level <= 17; ++level) {
        const D3DXMATRIX below = *stack_->GetTop();
        ASSERT_EQ(stack_->Push(), S_OK);
        EXPECT_EQ(*stack_->GetTop(), below) << "a push must duplicate the top, level " << level;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(stack_->GetTop()) % 16, 0u) << level;
        const D3DXMATRIX own = Translation(static_cast<float>(level), 0, 0);
        stack_->LoadMatrix(&own);
    }
    EXPECT_EQ(utilities::MatrixStackCapacity(stack_), 32u);
    for (int level = 17; level >= 1; --level) {
        EXPECT_EQ(*stack_->GetTop(), Translation(static_cast<float>(level), 0, 0)) << level;
        stack_->Pop();
    }
    EXPECT_EQ(*stack_->GetTop(), Identity());
    EXPECT_EQ(utilities::MatrixStackCapacity(stack_), 32u) << "the storage never shrinks";
}

TEST_F(MatrixStackTest, LocalOperationsActBeforeAndOthersAfter) {
    const D3DXVECTOR3 yAxis(0, 1, 0);
    const D3DXVECTOR3 x(1, 0, 0);
    // Local: turn about y first (x → -z), then move to (10, 0, 0).
    stack_->Push();
    stack_->TranslateLocal(10, 0, 0);
    stack_->RotateAxisLocal(&yAxis, 1.5707964f);
    D3DXVECTOR3 p = Transform(x, *stack_->GetTop());
    EXPECT_NEAR(p.x, 10, 1e-5f);
    EXPECT_NEAR(p.z, -1, 1e-5f);
    stack_->Pop();

    // Global: move to (11, 0, 0) first, then turn the moved point about y.
    stack_->Push();
    stack_->Translate(10, 0, 0);
    stack_->RotateAxis(&yAxis, 1.5707964f);
    p = Transform(x, *stack_->GetTop());
    EXPECT_NEAR(p.x, 0, 1e-5f);
    EXPECT_NEAR(p.z, -11, 1e-5f);
    stack_->Pop();

    // Scaling then moving, either way round.
    stack_->Scale(2, 3, 4);
    stack_->Translate(1, 0, 0);
    EXPECT_EQ(Transform(D3DXVECTOR3(1, 1, 1), *stack_->GetTop()), D3DXVECTOR3(3, 3, 4));
    stack_->LoadIdentity();
    stack_->Translate(1, 0, 0);
    stack_->ScaleLocal(2, 3, 4);
    EXPECT_EQ(Transform(D3DXVECTOR3(1, 1, 1), *stack_->GetTop()), D3DXVECTOR3(3, 3, 4));
}

TEST_F(MatrixStackTest, MultAndLoadMatrix) {
    const D3DXMATRIX a = Translation(1, 2, 3);
    D3DXMATRIX b;
    D3DXMatrixScaling(&b, 2, 2, 2);
    EXPECT_EQ(stack_->LoadMatrix(&a), S_OK);
    EXPECT_EQ(stack_->MultMatrix(&b), S_OK);
    EXPECT_EQ(*stack_->GetTop(), a * b);
    EXPECT_EQ(stack_->LoadMatrix(&a), S_OK);
    EXPECT_EQ(stack_->MultMatrixLocal(&b), S_OK);
    EXPECT_EQ(*stack_->GetTop(), b * a);

    EXPECT_EQ(stack_->LoadMatrix(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack_->MultMatrix(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack_->MultMatrixLocal(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack_->RotateAxis(nullptr, 1.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack_->RotateAxisLocal(nullptr, 1.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(*stack_->GetTop(), b * a) << "refused calls leave the top alone";
}

TEST_F(MatrixStackTest, YawPitchRollMatchesTheMatrixHelper) {
    D3DXMATRIX r;
    D3DXMatrixRotationYawPitchRoll(&r, 0.3f, 0.5f, -0.7f);
    const D3DXMATRIX t = Translation(1, 2, 3);
    stack_->LoadMatrix(&t);
    EXPECT_EQ(stack_->RotateYawPitchRoll(0.3f, 0.5f, -0.7f), S_OK);
    ExpectNear(*stack_->GetTop(), t * r);
    stack_->LoadMatrix(&t);
    EXPECT_EQ(stack_->RotateYawPitchRollLocal(0.3f, 0.5f, -0.7f), S_OK);
    ExpectNear(*stack_->GetTop(), r * t);
}

TEST_F(MatrixStackTest, ReferenceCountingAndInterfaces) {
    void* same = nullptr;
    EXPECT_EQ(stack_->QueryInterface(IID_ID3DXMatrixStack, &same), S_OK);
    EXPECT_EQ(same, stack_);
    EXPECT_EQ(stack_->QueryInterface(IID_IUnknown, &same), S_OK);
    EXPECT_EQ(stack_->Release(), 2u);
    EXPECT_EQ(stack_->Release(), 1u);
    void* other = &same;
    EXPECT_EQ(stack_->QueryInterface(IID_IDirect3DTexture9, &other), E_NOINTERFACE);
    EXPECT_EQ(stack_->QueryInterface(IID_IUnknown, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack_->AddRef(), 2u);
    EXPECT_EQ(stack_->Release(), 1u);
}

}  // namespace
