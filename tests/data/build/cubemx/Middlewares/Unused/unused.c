/*
 * unused.c: a middleware whose whole group the MDK target leaves out of the build.
 */
#error "the Middlewares/Unused group is excluded from the MDK target"
