#pragma once

class DescriptionBox;

// "^" and "v": a description box grows or shrinks by 300 twips at its top edge, its bottom
// edge staying in place. Shrinking stops at 600 twips; growing stops only where the geometry
// could no longer be held exactly. Each returns whether the box changed.
bool growDescription(DescriptionBox &box);
bool shrinkDescription(DescriptionBox &box);
