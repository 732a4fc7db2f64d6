#include "jre/ScanQueue.h"

#include <algorithm>

namespace jre {

void ScanQueue::PushRoot(const std::string& root) { queue_.push_back(std::make_shared<Node>(Node{nullptr, root, {}})); }

void ScanQueue::PushChild(const std::shared_ptr<const Node>& parent, const std::string& name)
{
    queue_.push_back(std::make_shared<Node>(Node{parent, name, {}}));
}

ScanQueue::NodePtr ScanQueue::Take()
{
    NodePtr front = std::move(queue_.front());
    queue_.pop_front();
    return front;
}

std::string ScanQueue::PathOf(const Node& node)
{
    std::vector<const std::string*> names;
    for (const Node* n = &node; n != nullptr; n = n->parent.get())
        names.push_back(&n->name);
    std::string path;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        path += **name;
        if (path.empty() || path.back() != '\\')
            path += '\\';
    }
    return path;
}

bool ScanQueue::RepeatsAnAncestor(const Node& node, const FolderIdentity& key)
{
    for (const Node* n = node.parent.get(); n != nullptr; n = n->parent.get())
        if (n->key == key)
            return true;
    return false;
}

}  // namespace jre
