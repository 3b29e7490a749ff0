// The outline of a report: titled entries with a level, a page and an area of
// that page, shown as a tree and used to jump to a page.
//
// Stream form: i32 number of entries, then 80 bytes per entry:
//    0  51  title: length byte (0..50), then the bytes, zeros after them
//   51   1  0
//   52   4  i32 level (0 = top level)
//   56  16  area: i32 left, top, right, bottom
//   72   4  i32 page number
//   76   4  0 (the entry's tree node at run time; ignored when read)
//
// An entry hangs under the nearest entry before it of a lower level, or at
// the top level when there is none; levels are taken within 0..31 for this.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TTreeNode;
class TTreeNodes;

constexpr int RpOutlineNodeSize = 80;
constexpr int RpOutlineTitleMax = 50;   // bytes, cut at a character boundary
constexpr int RpOutlineMaxLevel = 31;

struct TRpOutlineNode {
    std::string Title;
    int32_t Level = 0;
    TRect Area;
    int32_t Page = 0;
    TTreeNode* TreeNode = nullptr;   // in the bound tree, nullptr when unbound
};

class TRpOutline : public TObject {
public:
    TRpOutline() = default;
    ~TRpOutline() override;

    int Count() const { return static_cast<int>(FNodeList.size()); }
    const TRpOutlineNode& Nodes(int Index) const { return *FNodeList.at(static_cast<size_t>(Index)); }

    // Appends an entry (the title cut to 50 bytes); with a tree bound, also
    // its tree node.
    void AddNode(const std::string& Title, int Level, const TRect& Area, int Page);
    void Clear();

    // The items of the tree view that shows the outline, or nullptr. Binding
    // rebuilds the tree; the outline does not own it and must be unbound
    // before the tree view goes.
    TTreeNodes* TreeNodes() const { return FTreeNodes; }
    void SetTreeNodes(TTreeNodes* Value);
    void UpdateTreeNodes();

    // The area and page of the entry shown by Node; page 0 and an empty area
    // when no entry has that node. True when one had it.
    bool FindPosition(const TTreeNode* Node, TRect& Area, int& Page) const;

    void SaveToStream(TStream* Stream) const;
    // Replaces the entries by those of Stream (ERpError, the outline left as
    // it was, when the count does not fit in the stream).
    void LoadFromStream(TStream* Stream);

private:
    // The entry that Index hangs under, or -1 for the top level.
    int ParentIndex(int Index) const;
    void AddTreeNode(int Index);

    std::vector<std::unique_ptr<TRpOutlineNode>> FNodeList;
    TTreeNodes* FTreeNodes = nullptr;
};

// Text cut to at most MaxBytes bytes without splitting a UTF-8 character.
std::string RpCutUtf8(const std::string& Text, size_t MaxBytes);
