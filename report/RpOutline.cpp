#include "report/RpOutline.h"

#include "platform/ScopeGuard.h"
#include "platform/Streams.h"
#include "platform/TreeView.h"
#include "report/Rp4const.h"
#include "report/RpBytes.h"

#include <algorithm>
#include <cstring>

namespace {

int TreeLevel(int Level)
{
    return std::clamp(Level, 0, RpOutlineMaxLevel);
}

}  // namespace

std::string RpCutUtf8(const std::string& Text, size_t MaxBytes)
{
    if (Text.size() <= MaxBytes)
        return Text;
    size_t Cut = MaxBytes;
    // Back off continuation bytes (10xxxxxx) so the cut falls before a
    // character's first byte.
    while (Cut > 0 && (static_cast<uint8_t>(Text[Cut]) & 0xC0) == 0x80)
        --Cut;
    return Text.substr(0, Cut);
}

TRpOutline::~TRpOutline() = default;

void TRpOutline::AddNode(const std::string& Title, int Level, const TRect& Area, int Page)
{
    auto Node = std::make_unique<TRpOutlineNode>();
    Node->Title = RpCutUtf8(Title, RpOutlineTitleMax);
    Node->Level = Level;
    Node->Area = Area;
    Node->Page = Page;
    FNodeList.push_back(std::move(Node));
    if (FTreeNodes)
        AddTreeNode(Count() - 1);
}

void TRpOutline::Clear()
{
    FNodeList.clear();
    if (FTreeNodes)
        FTreeNodes->Clear();
}

int TRpOutline::ParentIndex(int Index) const
{
    const int Level = TreeLevel(FNodeList[static_cast<size_t>(Index)]->Level);
    for (int I = Index - 1; I >= 0; --I)
        if (TreeLevel(FNodeList[static_cast<size_t>(I)]->Level) < Level)
            return I;
    return -1;
}

void TRpOutline::AddTreeNode(int Index)
{
    TRpOutlineNode* Node = FNodeList[static_cast<size_t>(Index)].get();
    const int Parent = ParentIndex(Index);
    TTreeNode* ParentNode = Parent >= 0 ? FNodeList[static_cast<size_t>(Parent)]->TreeNode : nullptr;
    Node->TreeNode = FTreeNodes->AddChild(ParentNode, Node->Title);
    Node->TreeNode->SetData(Node);
}

void TRpOutline::SetTreeNodes(TTreeNodes* Value)
{
    if (Value == FTreeNodes)
        return;
    for (auto& Node : FNodeList)
        Node->TreeNode = nullptr;
    FTreeNodes = Value;
    if (FTreeNodes)
        UpdateTreeNodes();
}

// Nearest shallower entry as parent: a stack of the open entries by level.
void TRpOutline::UpdateTreeNodes()
{
    if (!FTreeNodes)
        return;
    TUpdateGuard<TTreeNodes> Batch(*FTreeNodes);
    FTreeNodes->Clear();
    std::vector<TRpOutlineNode*> Open;
    for (auto& Node : FNodeList) {
        const int Level = TreeLevel(Node->Level);
        while (!Open.empty() && TreeLevel(Open.back()->Level) >= Level)
            Open.pop_back();
        Node->TreeNode = FTreeNodes->AddChild(Open.empty() ? nullptr : Open.back()->TreeNode, Node->Title);
        Node->TreeNode->SetData(Node.get());
        Open.push_back(Node.get());
    }
}

bool TRpOutline::FindPosition(const TTreeNode* Node, TRect& Area, int& Page) const
{
    for (const auto& Entry : FNodeList) {
        if (Node && Entry->TreeNode == Node) {
            Area = Entry->Area;
            Page = Entry->Page;
            return true;
        }
    }
    Area = TRect();
    Page = 0;
    return false;
}

void TRpOutline::SaveToStream(TStream* Stream) const
{
    Stream->WriteInt32(Count());
    for (const auto& Node : FNodeList) {
        uint8_t B[RpOutlineNodeSize] = {};
        B[0] = static_cast<uint8_t>(Node->Title.size());
        std::memcpy(B + 1, Node->Title.data(), Node->Title.size());
        RpPutI32(B + 52, Node->Level);
        RpPutI32(B + 56, Node->Area.Left);
        RpPutI32(B + 60, Node->Area.Top);
        RpPutI32(B + 64, Node->Area.Right);
        RpPutI32(B + 68, Node->Area.Bottom);
        RpPutI32(B + 72, Node->Page);
        Stream->WriteBuffer(B, RpOutlineNodeSize);
    }
}

void TRpOutline::LoadFromStream(TStream* Stream)
{
    const int32_t N = Stream->ReadInt32();
    const int64_t Left = Stream->Size() - Stream->Position();
    if (N < 0 || static_cast<int64_t>(N) * RpOutlineNodeSize > Left)
        throw ERpError(LoadResString(SRpErrorLoading));
    std::vector<uint8_t> Bytes(static_cast<size_t>(N) * RpOutlineNodeSize);
    Stream->ReadBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));

    TTreeNodes* Tree = FTreeNodes;
    SetTreeNodes(nullptr);
    FNodeList.clear();
    for (int32_t I = 0; I < N; ++I) {
        const uint8_t* B = Bytes.data() + static_cast<size_t>(I) * RpOutlineNodeSize;
        const size_t Length = std::min<size_t>(B[0], RpOutlineTitleMax);
        const TRect Area{RpGetI32(B + 56), RpGetI32(B + 60), RpGetI32(B + 64), RpGetI32(B + 68)};
        AddNode(std::string(reinterpret_cast<const char*>(B + 1), Length), RpGetI32(B + 52), Area, RpGetI32(B + 72));
    }
    SetTreeNodes(Tree);   // one rebuild
}
