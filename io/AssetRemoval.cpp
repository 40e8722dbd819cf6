#include "io/AssetRemoval.h"

#include <algorithm>
#include <vector>

#include "io/TextureUpload.h"
#include "scene/Renumber.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

void RenumberObjectTextures(std::vector<SceneObject>& objects, int erased)
{
    for (SceneObject& object : objects) {
        object.texture = RenumberIndex(object.texture, erased);
        for (int& faceTexture : object.faceTextureIDs)
            faceTexture = RenumberIndex(faceTexture, erased);
    }
}

} // namespace

bool RemoveTexture(int index)
{
    if (index < 0 || index >= static_cast<int>(g_Textures.size()))
        return false;
    ReleaseTexture(g_Textures[index].glName);
    g_Textures.erase(g_Textures.begin() + index);

    RenumberObjectTextures(g_SceneObjects, index);
    for (PaintBrush& brush : g_PaintBrushes)
        brush.texture = RenumberIndex(brush.texture, index);
    // Undo must bring back the images the objects showed, not whatever now
    // sits at their old positions.
    std::vector<UndoState>* stacks[] = {
        &g_ModellerUndoStack, &g_ModellerRedoStack, &g_PainterUndoStack, &g_PainterRedoStack,
        &g_PlotterUndoStack, &g_PlotterRedoStack, &g_VertexUndoStack, &g_VertexRedoStack};
    for (std::vector<UndoState>* stack : stacks) {
        for (UndoState& state : *stack)
            RenumberObjectTextures(state.sceneObjects, index);
    }
    return true;
}

bool RemoveModel(int index)
{
    if (index < 0 || index >= static_cast<int>(g_Models.size()))
        return false;
    const int removedId = g_Models[index].id;
    // Materials sharing one image share its texture: release each name once.
    std::vector<unsigned int> names = g_Models[index].materialTextures;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (unsigned int glName : names)
        ReleaseTexture(glName);
    g_Models.erase(g_Models.begin() + index);

    for (PropBrush& brush : g_PropBrushes) {
        if (brush.modelID == removedId)
            brush.modelID = -1;
    }
    for (PropInstance& instance : g_PropInstances) {
        if (instance.modelID == removedId)
            instance.modelID = -1;
    }
    return true;
}
