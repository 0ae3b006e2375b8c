// Shadow compensation material: the model is an invisible shadow catcher
// (for example a plane standing for the table under the content) that only
// darkens the picture where the first light's shadow falls on it.
#version 120

varying vec4 shadowCoord;

void main()
{
    vec4 ec = gl_ModelViewMatrix * gl_Vertex;
    shadowCoord = vec4(dot(ec, gl_EyePlaneS[0]), dot(ec, gl_EyePlaneT[0]), dot(ec, gl_EyePlaneR[0]),
                       dot(ec, gl_EyePlaneQ[0]));
    gl_Position = ftransform();
}
