// Terrain vertex program. The chunk meshes carry world positions; texture
// coordinate set 0 repeats the world position in xyz and holds the terrain
// texture layer in w. Uses the render system's built-in transform state.
#version 130

out vec3 worldPosition;
out vec3 faceNormal;
out float layer;

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    worldPosition = gl_MultiTexCoord0.xyz;
    faceNormal = gl_Normal;
    layer = gl_MultiTexCoord0.w;
}
