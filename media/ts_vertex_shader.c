// Terrain vertex program. The chunk meshes carry world positions; texture
// coordinate set 0 holds the terrain texture layer in w; a triangle takes the
// layer of its last corner. Uses the render system's built-in transform
// state.
#version 130

out vec3 worldPosition;
flat out float layer;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    worldPosition = gl_Vertex.xyz;
    layer = gl_MultiTexCoord0.w;
}
